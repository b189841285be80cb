// The internal twin of a public plug that is not an object (a property's
// twin derives from it): a bare plug that knows the public handle that made it.
#ifndef FBXFILESDK_CORE_KFBXPLUG_INTERNAL_H
#define FBXFILESDK_CORE_KFBXPLUG_INTERNAL_H

#include <fbxfilesdk/core/KPlug.h>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;

class KFbxPlug_internal : public KPlug {
public:
    explicit KFbxPlug_internal(KFbxPlug* publicPlug) : mPublicPlug(publicPlug) {}

    const KPlugClassInfo* GetClassInfo() const override;
    KFbxPlug_internal* AsPlugInternal() override { return this; }

    KFbxPlug* GetPublicPlug() const { return mPublicPlug; }
    void SetPublicPlug(KFbxPlug* publicPlug) { mPublicPlug = publicPlug; }

private:
    KFbxPlug* mPublicPlug;
};

}  // namespace fbxsdk_2006_11_1

#endif
