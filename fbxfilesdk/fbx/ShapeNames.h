// The names a reader gives the shapes it adds to one geometry. A shape keeps
// the name its file gives it where the geometry takes that name. One without
// a name, or whose name an earlier shape or any other property of the
// geometry already has, is numbered as the readers number clashing node names
// (Smile, Smile1, Smile2; a shape without a name as "Shape"), skipping every
// name the file gives one of the geometry's shapes and every property of the
// geometry and of its node: channels and weights are found by name, and a
// numbered shape must take none of another shape or property.
#ifndef FBXFILESDK_FBX_SHAPENAMES_H
#define FBXFILESDK_FBX_SHAPENAMES_H

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KRenamingStrategy.h>

#include <string>
#include <unordered_map>

namespace fbxsdk_2006_11_1 {

class KFbxGeometry;
class KFbxShape;

class ShapeNames {
public:
    explicit ShapeNames(KFbxGeometry& geometry) : mGeometry(geometry) {}

    // A name the file gives one of the geometry's shapes. Every such name is
    // to be reserved before the first shape is added, so that no numbered
    // shape takes the name of a later one.
    void Reserve(const char* name);

    // Adds the shape to the geometry under the name, or under a name of its
    // own when the geometry refuses the name itself. The shape's index, or -1
    // with the geometry's error as KFbxGeometry::AddShape gives it. given is
    // the name the shape was added under; why says, when that is not the
    // file's name, why (null when it is).
    int Add(KFbxShape& shape, const char* name, KString& given, const char*& why);

private:
    // The first of base, base1, base2 ... that names no reserved name and
    // no property of the geometry or of its node.
    KString Unused(const char* base);

    KFbxGeometry& mGeometry;
    // Every name reserved, and whether a shape was added with it already.
    std::unordered_map<std::string, bool> mFileNames;
    KNumberRenamingStrategy mNumbers;
};

}  // namespace fbxsdk_2006_11_1

#endif
