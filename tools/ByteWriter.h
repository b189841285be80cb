#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Builds a file image field by field, multi-byte integers little-endian.
class ByteWriter {
public:
    void u8(std::uint8_t v);
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void tag(std::string_view fourCharacters);
    void append(const std::uint8_t* data, std::size_t size);

    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};
