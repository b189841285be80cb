// The names a public object carries: the name it was first given, the name it
// has now, and its namespace.
#ifndef FBXFILESDK_CORE_KFBXOBJECTNAMERECORD_H
#define FBXFILESDK_CORE_KFBXOBJECTNAMERECORD_H

#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxObjectNameRecord {
public:
    // Initial and current name both become the name; null counts as "".
    explicit KFbxObjectNameRecord(const char* name = "");
    KFbxObjectNameRecord(const KFbxObjectNameRecord& other) = default;
    // Copies the initial and the current name; the namespace stays.
    KFbxObjectNameRecord& operator=(const KFbxObjectNameRecord& other);

    const char* GetCurrentName() const { return mCurrentName.Buffer(); }
    // The current name only.
    void SetCurrentName(const char* name);
    const char* GetInitialName() const { return mInitialName.Buffer(); }
    // The initial and the current name.
    void SetInitialName(const char* name);
    const char* GetNameSpace() const { return mNameSpace.Buffer(); }
    void SetNameSpace(const char* nameSpace);

private:
    KString mInitialName;
    KString mCurrentName;
    KString mNameSpace;
};

}  // namespace fbxsdk_2006_11_1

#endif
