// A pointer to an SDK object that may or may not be owned by its holder; an
// owned object is destroyed through its own Destroy operation on release.
#ifndef FBXFILESDK_CORE_KFBXOWNEDPOINTER_H
#define FBXFILESDK_CORE_KFBXOWNEDPOINTER_H

namespace fbxsdk_2006_11_1 {

template <class T>
struct KFbxOwnedPointer {
    T* mObject = nullptr;
    bool mOwned = false;

    void Reset() {
        mObject = nullptr;
        mOwned = false;
    }

    // Destroys an owned object; a borrowed one is left as it is, and so is the
    // record. The record is cleared before the object goes, so that nothing
    // reached from Destroy sees a pointer to a dying object.
    void Release() {
        if (!mObject || !mOwned) return;
        T* object = mObject;
        Reset();
        object->Destroy(false);
    }
};

}  // namespace fbxsdk_2006_11_1

#endif
