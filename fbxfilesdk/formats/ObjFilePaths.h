// Paths of the files that travel with an OBJ file (material libraries,
// textures and their copies), put together with the separator this system
// opens files with. Either separator is taken apart. And the names written
// into OBJ and MTL statements.
#ifndef FBXFILESDK_FORMATS_OBJFILEPATHS_H
#define FBXFILESDK_FORMATS_OBJFILEPATHS_H

#include <string>
#include <string_view>

namespace fbxsdk_2006_11_1 {

// The part after the last separator; the whole path when there is none.
std::string_view ObjFileNamePart(std::string_view path);
// The name in the folder of file; an absolute name, or a file without a
// folder, gives the name itself.
std::string ObjPathBeside(std::string_view file, std::string_view name);
// Where a file that another file names is looked for, in order: the name as
// given (from the working folder, or itself when absolute), then beside that
// other file when that is another path. Gives how many of paths it filled.
int ObjSearchPaths(std::string_view file, std::string_view name, std::string (&paths)[2]);
// A relative path put in the working folder of now, so that it names the same
// file after that changes; an absolute one, or any path when the working
// folder cannot be read, as it is. Nothing else in it changes: a ".." stays
// for the system to follow, a ':' is a character like any other.
std::string ObjPathFromRoot(std::string_view path);
// The material library of an OBJ file: its path with the last extension of
// the file's name, whatever its case, replaced by ".mtl", or ".mtl" added
// where the name has none. Dots of a folder, or those a hidden file's name
// begins with, begin no extension.
std::string ObjLibraryPath(std::string_view objPath);

// A name as one word of a statement: every blank and control character
// becomes '_' (a blank would end the word, a line end would start a
// statement of its own); an empty name becomes "_". Other bytes, those of
// UTF-8 text too, stay. controls tells whether a control character went.
std::string ObjWrittenName(std::string_view name, bool& controls);

}  // namespace fbxsdk_2006_11_1

#endif
