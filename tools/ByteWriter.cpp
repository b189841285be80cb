#include <tools/ByteWriter.h>

void ByteWriter::u8(std::uint8_t v) {
    bytes_.push_back(v);
}

void ByteWriter::u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v & 0xFF));
    u8(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v & 0xFFFF));
    u16(static_cast<std::uint16_t>(v >> 16));
}

void ByteWriter::tag(std::string_view fourCharacters) {
    for (char c : fourCharacters) {
        u8(static_cast<std::uint8_t>(c));
    }
}

void ByteWriter::append(const std::uint8_t* data, std::size_t size) {
    bytes_.insert(bytes_.end(), data, data + size);
}
