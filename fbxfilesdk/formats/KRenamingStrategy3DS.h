// Names that fit the short name fields of 3D Studio files: an object name
// holds at most 10 characters, a material name at most 15. A name loses its
// first "::" prefix, is cut so that three digits still fit, and a name met
// before gets the next free number. Every name given out is remembered, the
// numbered ones too, so no two names handed out are ever equal. Control
// characters become "_" and an empty name becomes "Unnamed".
#ifndef FBXFILESDK_FORMATS_KRENAMINGSTRATEGY3DS_H
#define FBXFILESDK_FORMATS_KRENAMINGSTRATEGY3DS_H

#include <fbxfilesdk/scene/KRenamingStrategy.h>

#include <string>
#include <unordered_map>

namespace fbxsdk_2006_11_1 {

class KRenamingStrategy3DS : public KNumberRenamingStrategy {
public:
    // The length of object names, which Rename(name record) applies.
    static constexpr int kObjectNameLimit = 10;
    static constexpr int kMaterialNameLimit = 15;

    void Clear() override { mCounts.clear(); }
    // Applies Rename(name, kObjectNameLimit) to the record's current name.
    bool Rename(KFbxObjectNameRecord& name) override;
    KRenamingStrategy* Clone() override;

    // True when the name had to be numbered, false when it was only
    // shortened or kept. The result never has more than limit characters
    // (a limit below 4 counts as 4).
    bool Rename(KString& name, int limit);
    // Whether Rename replaces characters of the name.
    static bool HasControlCharacters(const char* name);

private:
    bool IsTaken(const std::string& name) const { return mCounts.count(name) != 0; }

    // Every name handed out, with the last number tried after it.
    std::unordered_map<std::string, int> mCounts;
};

}  // namespace fbxsdk_2006_11_1

#endif
