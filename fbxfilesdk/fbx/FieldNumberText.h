// Numbers as ascii field text: the shortest form that reads back to the same
// bits, and locale-free parsing of whole tokens.
#ifndef FBXFILESDK_FBX_FIELDNUMBERTEXT_H
#define FBXFILESDK_FBX_FIELDNUMBERTEXT_H

#include <cstdint>

namespace fbxsdk_2006_11_1 {

// Room for the longest number text, without terminator.
constexpr int kNumberTextSize = 32;

// Each writes at most kNumberTextSize characters to out and returns their count.
int FormatFieldInteger(char* out, std::int64_t value);
int FormatFieldDouble(char* out, double value);
int FormatFieldFloat(char* out, float value);

// True when the whole of [begin, end) is one number of that kind. Accepts a
// leading '+', "inf" and "nan" with either sign.
bool ParseFieldInteger(const char* begin, const char* end, std::int64_t& value);
bool ParseFieldDouble(const char* begin, const char* end, double& value);
bool ParseFieldFloat(const char* begin, const char* end, float& value);

}  // namespace fbxsdk_2006_11_1

#endif
