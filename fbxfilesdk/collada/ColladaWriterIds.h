// The ids of a written COLLADA document. Every id is a valid NCName (the
// schema's xs:ID) and unique in the document: a wanted id keeps its
// letters, digits, '_', '-' and '.', every other byte becomes '_', an id
// that would not start with a letter or '_' gets a '_' in front, and an id
// taken already gets "_1", "_2" ... appended. The same object asked again
// for the same kind of id gets the same id, so references made before and
// after the element is written agree.
#ifndef FBXFILESDK_COLLADA_COLLADAWRITERIDS_H
#define FBXFILESDK_COLLADA_COLLADAWRITERIDS_H

#include <fbxfilesdk/core/KString.h>

#include <map>
#include <string>
#include <unordered_set>
#include <utility>

namespace fbxsdk_2006_11_1 {

class ColladaWriterIds {
public:
    // The wanted text made a valid NCName ("_" for an empty text).
    static KString MakeName(const char* wanted);

    // The id of the object's kind ("node", "-lib", "Controller" ...): the
    // first call reserves a unique id made from wanted, later calls give it back.
    const KString& Get(const void* object, const char* kind, const KString& wanted);
    // Null when the object has no id of that kind yet.
    const KString* Find(const void* object, const char* kind) const;
    // A unique id made from wanted, reserved for good, tied to no object.
    KString Reserve(const KString& wanted);

    void Clear();

private:
    std::unordered_set<std::string> mTaken;
    std::map<std::pair<const void*, std::string>, KString> mAssigned;
};

}  // namespace fbxsdk_2006_11_1

#endif
