#include <tools/TgaWriter.h>

#include <tools/ByteWriter.h>

namespace {

void writeHeader(ByteWriter& out, std::uint8_t imageType, int width, int height, std::uint8_t depth) {
    out.u8(0);          // id length
    out.u8(0);          // no colour map
    out.u8(imageType);
    out.u16(0);         // colour-map origin
    out.u16(0);         // colour-map length
    out.u8(0);          // colour-map entry size
    out.u16(0);         // x origin
    out.u16(0);         // y origin
    out.u16(static_cast<std::uint16_t>(width));
    out.u16(static_cast<std::uint16_t>(height));
    out.u8(depth);
    out.u8(0);          // descriptor: bottom-left origin
}

}  // namespace

std::vector<std::uint8_t> encodeTga(const Canvas& canvas) {
    ByteWriter out;
    writeHeader(out, 2, canvas.width(), canvas.height(), 24);
    out.bytes().reserve(out.bytes().size() + static_cast<std::size_t>(canvas.width()) * canvas.height() * 3);
    for (int y = canvas.height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb c = canvas.at(x, y);
            out.u8(c.b);
            out.u8(c.g);
            out.u8(c.r);
        }
    }
    return std::move(out.bytes());
}

std::vector<std::uint8_t> encodeGreyTga(int width, int height, const std::vector<std::uint8_t>& storedRows) {
    ByteWriter out;
    writeHeader(out, 3, width, height, 8);
    out.append(storedRows.data(), storedRows.size());
    return std::move(out.bytes());
}
