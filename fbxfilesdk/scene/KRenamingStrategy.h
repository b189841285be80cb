// Strategies that make names unique as objects are met one after another:
// each gets an object's name record and may change its current name.
#ifndef FBXFILESDK_SCENE_KRENAMINGSTRATEGY_H
#define FBXFILESDK_SCENE_KRENAMINGSTRATEGY_H

#include <fbxfilesdk/core/KFbxObjectNameRecord.h>
#include <fbxfilesdk/core/KString.h>

#include <map>
#include <string>

namespace fbxsdk_2006_11_1 {

class KRenamingStrategy {
public:
    virtual ~KRenamingStrategy() = default;
    // Forgets every name met so far.
    virtual void Clear() = 0;
    // True when the record's current name was changed.
    virtual bool Rename(KFbxObjectNameRecord& name) = 0;
    // A new strategy of the same kind that has met no name; null when memory runs out.
    virtual KRenamingStrategy* Clone() = 0;
};

// The first of equal names stays as it is; each later one gets the name's
// repeat count appended (box, box1, box2), skipping counts that would give a
// name already met.
class KNumberRenamingStrategy : public KRenamingStrategy {
public:
    void Clear() override { mCounters.clear(); }
    bool Rename(KFbxObjectNameRecord& name) override;
    KRenamingStrategy* Clone() override;

    // The same on a bare name.
    bool Rename(KString& name);

private:
    // Every name met or given, with the last count appended to it.
    std::map<std::string, int> mCounters;
};

}  // namespace fbxsdk_2006_11_1

#endif
