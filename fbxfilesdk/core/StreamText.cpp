#include <fbxfilesdk/core/StreamText.h>

#include <cstdio>

namespace fbxsdk_2006_11_1 {

int FormatStreamText(char (&buffer)[kStreamTextBufferSize], const char* format, va_list args) {
    buffer[0] = '\0';
    if (format == nullptr) return 0;
    const int length = std::vsnprintf(buffer, kStreamTextBufferSize, format, args);
    if (length < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return length < kStreamTextBufferSize ? length : kStreamTextBufferSize - 1;
}

}  // namespace fbxsdk_2006_11_1
