// Formatted output shared by the SDK's stream layers: printf-style into one
// fixed buffer, cut at 16383 characters.
#ifndef FBXFILESDK_CORE_STREAMTEXT_H
#define FBXFILESDK_CORE_STREAMTEXT_H

#include <cstdarg>

namespace fbxsdk_2006_11_1 {

constexpr int kStreamTextBufferSize = 16384;

// Fills buffer and returns the length of its text: at most
// kStreamTextBufferSize - 1, and 0 for a null format or a format error.
int FormatStreamText(char (&buffer)[kStreamTextBufferSize], const char* format, va_list args);

}  // namespace fbxsdk_2006_11_1

#endif
