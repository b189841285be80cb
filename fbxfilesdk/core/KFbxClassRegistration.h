// The public classes of the SDK, in the one order in which the first SDK
// manager of the process registers them. Every class has its row here, parents
// before their children; a class that is not part of this build yet keeps its
// row without class id or create function, and registration passes over it.
#ifndef FBXFILESDK_CORE_KFBXCLASSREGISTRATION_H
#define FBXFILESDK_CORE_KFBXCLASSREGISTRATION_H

#include <fbxfilesdk/core/KFbxClassId.h>

namespace fbxsdk_2006_11_1 {

class KFbxSdkManager;

struct KFbxClassRegistration {
    const char* mName;
    // Null for the root class.
    const char* mParentName;
    // The class's process-wide class id; null while the class is not built.
    KFbxClassId* mClassId;
    KFbxPlugCreateFn mCreateFn;
};

constexpr int kKFbxClassRegistrationCount = 75;

// The rows, in registration order.
const KFbxClassRegistration* KFbxGetClassRegistrations();

// Registers each class of the table whose class id is still null (its parent
// is the nearest registered ancestor) and enters every registered class in
// the manager. False when a registration runs out of memory; the next call
// completes it.
bool RegisterClasses(KFbxSdkManager* manager);

}  // namespace fbxsdk_2006_11_1

#endif
