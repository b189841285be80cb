// The internal twin of a character: it holds the character's object lists
// (its input, its output, the actor, the character and the control set plug
// that drive it) and reaches the character's filter set through its owner.
// The solving parameters are the character's own typed properties, bound to
// this twin.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTER_INTERNAL_H
#define FBXFILESDK_SCENE_KFBXCHARACTER_INTERNAL_H

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KPropertyList.h>
#include <fbxfilesdk/scene/KFbxCharacterAccessors.h>
#include <fbxfilesdk/scene/KFbxConstraint_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxCharacter;

class KFbxCharacter_Internal : public KFbxConstraint_internal {
public:
    explicit KFbxCharacter_Internal(KFbxCharacter* character);
    ~KFbxCharacter_Internal() override;

    const KPlugClassInfo* GetClassInfo() const override;

    KFbxCharacter* GetCharacter() const { return mCharacter; }

    // One setter and one getter per value property (a getter alone for a
    // read-only one), named after the property. They read and write the
    // character's property, so a setter does what setting the property
    // does: clamping and the filter-set entry. Vector getters give x, y, z
    // and 1.
#define KFBX_CHARACTER_DECLARE_RW(name, type) \
    virtual void Set##name(type value);      \
    virtual type Get##name() const;
#define KFBX_CHARACTER_DECLARE_RO(name, type) virtual type Get##name() const;
    KFBX_CHARACTER_VALUE_PROPERTIES(KFBX_CHARACTER_DECLARE_RW, KFBX_CHARACTER_DECLARE_RO)
#undef KFBX_CHARACTER_DECLARE_RW
#undef KFBX_CHARACTER_DECLARE_RO

private:
    // The value of the character property of that row of the property
    // table, and its setting through the property.
    template <class T>
    T ValueAt(int row) const;
    template <class T>
    void SetAt(int row, T value);

    KFbxCharacter* mCharacter;
    KPropertyObjectList mSourceObject;
    KPropertyObjectList mDestinationObject;
    KPropertyObjectList mActor;
    KPropertyObjectList mCharacterInput;
    KPropertyObjectList mControlSet;
};

}  // namespace fbxsdk_2006_11_1

#endif
