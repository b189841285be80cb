// Numbers to and from text for values that files carry: always '.' as the
// decimal mark and no dependence on the process locale, so a value written on
// one machine reads back the same on any other.
#ifndef FBXFILESDK_CORE_KNUMBERTEXT_H
#define FBXFILESDK_CORE_KNUMBERTEXT_H

namespace fbxsdk_2006_11_1 {

// Reads the decimal floating-point number at the start of text, after any
// blanks, with an optional sign (as strtod does in the "C" locale). A number
// too large for a double gives +/- infinity, one too small 0. False, with
// value 0.0 and end at text, when there is no number there; end may be null.
bool ReadLeadingDouble(const char* text, double& value, const char** end = nullptr);

// Reads the decimal integer at the start of text, after any blanks, with an
// optional sign; reading stops at the first other character. Values outside
// the int range saturate. False, with value 0, when there is no digit.
bool ReadLeadingInt(const char* text, int& value);

// Writes value with the given number of decimals (as "%.Nf" in the "C"
// locale) into buffer, cut to size - 1 characters and always terminated.
// Returns the length written; 0 for a null buffer or a size below 1.
int FormatFixed(char* buffer, int size, double value, int decimals);

}  // namespace fbxsdk_2006_11_1

#endif
