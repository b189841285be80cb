// Numbers of OBJ and MTL statements, read as "%lf" and "%d" read them but
// through std::from_chars, so that no locale changes what a file means.
#ifndef FBXFILESDK_FORMATS_OBJNUMBERS_H
#define FBXFILESDK_FORMATS_OBJNUMBERS_H

#include <string>
#include <string_view>

namespace fbxsdk_2006_11_1 {

enum class ObjNumber { eNone, eRead, eNotFinite };

// Skips white space, then reads a number at the front of the text and
// moves the text past it. eNotFinite for nan, inf and numbers beyond the
// double range (the value is then 0); eNone, text unchanged, when no number
// stands there.
ObjNumber ObjReadDouble(std::string_view& text, double& value);
// How many of up to count numbers stand at the front of the text, as a
// scanf of that many "%lf" would count them; a number that is not finite
// still counts, as 0, and sets notFinite.
int ObjReadDoubles(std::string_view text, double* values, int count, bool& notFinite);
// "%d": an optional sign and digits at the front, anything after them
// ignored. False, value untouched, when no digit stands there or the number
// does not fit an int.
bool ObjReadInt(std::string_view text, int& value);

// A blank and the shortest text that reads back as the same double; a
// negative zero is written as zero. NaN and infinity, which no reader takes
// as a number, are written as 0 and counted in notFinite.
void ObjAppendNumber(std::string& line, double value, int& notFinite);

}  // namespace fbxsdk_2006_11_1

#endif
