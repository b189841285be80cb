// The object-level field file the FBX writers hold: a KFbx that also knows
// whether it is being written for FBX 5 readers.
#ifndef FBXFILESDK_FBX_IFBXOBJECT_H
#define FBXFILESDK_FBX_IFBXOBJECT_H

#include <fbxfilesdk/fbx/KFbx.h>

namespace fbxsdk_2006_11_1 {

class IFbxObject : public KFbx {
public:
    // Null when memory runs out.
    static IFbxObject* Create();
    void Destroy();

    // An FBX 5 file has no object "Definitions".
    void SetFbx5Compatible(bool compatible) { mFbx5Compatible = compatible; }
    bool IsFbx5Compatible() const { return mFbx5Compatible; }

private:
    IFbxObject() = default;
    ~IFbxObject() override = default;

    bool mFbx5Compatible = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
