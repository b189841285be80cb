// The public classes of the SDK, in the one order in which the first SDK
// manager of the process registers them. Each library supplies the rows of
// its own classes, with their places in that order, at start-up; a place no
// linked library fills stays empty, and registration passes over it. Parents
// come before their children.
#ifndef FBXFILESDK_CORE_KFBXCLASSREGISTRATION_H
#define FBXFILESDK_CORE_KFBXCLASSREGISTRATION_H

#include <fbxfilesdk/core/KFbxClassId.h>

namespace fbxsdk_2006_11_1 {

class KFbxSdkManager;

struct KFbxClassRegistration {
    // Null for a place no linked library fills.
    const char* mName;
    // Null for the root class.
    const char* mParentName;
    // The class's process-wide class id.
    KFbxClassId* mClassId;
    KFbxPlugCreateFn mCreateFn;
};

constexpr int kKFbxClassRegistrationCount = 75;

// A row and its place (0 to kKFbxClassRegistrationCount - 1) in the order.
struct KFbxClassRegistrationPlace {
    int mPlace;
    KFbxClassRegistration mRow;
};

// Runs after each registration that registered a class: a library hands the
// ids of its classes to whatever lower libraries reach them through.
using KFbxClassRegistrationHook = void (*)();

// One static object per library: it enters the library's rows at start-up.
// The library defines its classes' ids beside it, so a program that uses any
// of those classes links the rows too.
class KFbxClassRows {
public:
    template <int N>
    KFbxClassRows(const KFbxClassRegistrationPlace (&places)[N], KFbxClassRegistrationHook afterRegistration)
        : KFbxClassRows(places, N, afterRegistration) {}
    KFbxClassRows(const KFbxClassRegistrationPlace* places, int count, KFbxClassRegistrationHook afterRegistration);
};

// The rows, in registration order; a place no library filled has null name.
const KFbxClassRegistration* KFbxGetClassRegistrations();

// The registered class of that name among the rows; null when there is none.
KFbxClassId KFbxFindRegisteredClass(const char* name);

// Registers each class of the table whose class id is still null (its parent
// is the nearest registered ancestor) and enters every registered class in
// the manager. False when a registration runs out of memory; the next call
// completes it.
bool RegisterClasses(KFbxSdkManager* manager);

}  // namespace fbxsdk_2006_11_1

#endif
