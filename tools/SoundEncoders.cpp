#include <tools/SoundEncoders.h>

#include <tools/ByteWriter.h>

#include <lame/lame.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <mutex>

namespace {

// The encoders' libraries set up shared tables on first use without
// promising that this is safe from several threads at once.
std::mutex encoderMutex;

void appendPage(std::vector<std::uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples, int sampleRate) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    ByteWriter out;
    out.tag("RIFF");
    out.u32(36 + dataBytes);
    out.tag("WAVE");
    out.tag("fmt ");
    out.u32(16);                                         // format chunk size
    out.u16(1);                                          // PCM
    out.u16(1);                                          // mono
    out.u32(static_cast<std::uint32_t>(sampleRate));
    out.u32(static_cast<std::uint32_t>(sampleRate) * 2);  // bytes per second
    out.u16(2);                                          // bytes per frame
    out.u16(16);                                         // bits per sample
    out.tag("data");
    out.u32(dataBytes);
    for (std::int16_t s : samples) {
        out.u16(static_cast<std::uint16_t>(s));
    }
    return std::move(out.bytes());
}

std::vector<std::uint8_t> encodeOgg(const std::vector<std::int16_t>& samples, int sampleRate) {
    std::lock_guard lock(encoderMutex);
    std::vector<std::uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, sampleRate, 0.3f) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    ogg_packet header;
    ogg_packet headerComment;
    ogg_packet headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        appendPage(out, page);
    }

    constexpr std::size_t chunk = 1024;
    std::size_t position = 0;
    bool ended = false;
    while (!ended) {
        const std::size_t n = std::min(chunk, samples.size() - position);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i) {
                buffer[0][i] = samples[position + i] / 32768.0f;
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            position += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (!ended && ogg_stream_pageout(&stream, &page) != 0) {
                    appendPage(out, page);
                    ended = ogg_page_eos(&page) != 0;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::vector<std::uint8_t> encodeMp3(const std::vector<std::int16_t>& samples, int sampleRate) {
    std::lock_guard lock(encoderMutex);
    lame_global_flags* flags = lame_init();
    if (!flags) {
        return {};
    }
    lame_set_in_samplerate(flags, sampleRate);
    lame_set_num_channels(flags, 1);
    lame_set_mode(flags, MONO);
    lame_set_brate(flags, 64);
    lame_set_quality(flags, 5);
    lame_set_bWriteVbrTag(flags, 0);
    std::vector<std::uint8_t> out;
    if (lame_init_params(flags) >= 0) {
        // The encoder's own bound on its output: 1.25 times the samples plus 7200.
        out.resize(samples.size() * 5 / 4 + 7200);
        const int n = static_cast<int>(samples.size());
        const int written = lame_encode_buffer(flags, samples.data(), samples.data(), n, out.data(),
                                               static_cast<int>(out.size()));
        const int flushed = written < 0 ? -1
                                        : lame_encode_flush(flags, out.data() + written,
                                                            static_cast<int>(out.size()) - written);
        out.resize(flushed < 0 ? 0 : static_cast<std::size_t>(written + flushed));
    }
    lame_close(flags);
    return out;
}
