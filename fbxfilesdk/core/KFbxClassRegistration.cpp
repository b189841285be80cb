#include <fbxfilesdk/core/KFbxClassRegistration.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// Filled by the libraries' static objects before the program's entry, so both
// must be ready before any dynamic initialisation runs.
constinit KFbxClassRegistration gRows[kKFbxClassRegistrationCount] = {};
// One hook per library at most.
constexpr int kMaxHooks = 16;
constinit KFbxClassRegistrationHook gHooks[kMaxHooks] = {};
constinit int gHookCount = 0;

int FindRow(const char* name, int before) {
    for (int row = 0; row < before && name != nullptr; ++row) {
        if (gRows[row].mName != nullptr && std::strcmp(gRows[row].mName, name) == 0) {
            return row;
        }
    }
    return -1;
}

// The class id of the row's nearest ancestor that is registered; null for
// the root.
KFbxClassId RegisteredParentOf(int row) {
    for (int parent = FindRow(gRows[row].mParentName, row); parent != -1;
         parent = FindRow(gRows[parent].mParentName, parent)) {
        if (gRows[parent].mClassId != nullptr && *gRows[parent].mClassId != KFbxClassId()) {
            return *gRows[parent].mClassId;
        }
    }
    return KFbxClassId();
}

}  // namespace

KFbxClassRows::KFbxClassRows(const KFbxClassRegistrationPlace* places, int count,
                             KFbxClassRegistrationHook afterRegistration) {
    for (int i = 0; i < count; ++i) {
        const int place = places[i].mPlace;
        if (place >= 0 && place < kKFbxClassRegistrationCount) {
            gRows[place] = places[i].mRow;
        }
    }
    if (afterRegistration != nullptr && gHookCount < kMaxHooks) {
        gHooks[gHookCount++] = afterRegistration;
    }
}

const KFbxClassRegistration* KFbxGetClassRegistrations() { return gRows; }

KFbxClassId KFbxFindRegisteredClass(const char* name) {
    const int row = FindRow(name, kKFbxClassRegistrationCount);
    return row != -1 && gRows[row].mClassId != nullptr ? *gRows[row].mClassId : KFbxClassId();
}

bool RegisterClasses(KFbxSdkManager* manager) {
    bool complete = true;
    bool registered = false;
    for (int row = 0; row < kKFbxClassRegistrationCount; ++row) {
        KFbxClassId* classId = gRows[row].mClassId;
        if (gRows[row].mName == nullptr || classId == nullptr) {
            continue;
        }
        if (*classId != KFbxClassId()) {
            // Registered by an earlier manager: the class ids are process-wide.
            if (manager != nullptr && !manager->AddClassId(*classId)) {
                complete = false;
            }
            continue;
        }
        *classId = RegisterClass(manager, gRows[row].mName, RegisteredParentOf(row), gRows[row].mCreateFn, nullptr,
                                 nullptr);
        if (*classId == KFbxClassId()) {
            complete = false;
        } else {
            registered = true;
        }
    }
    if (registered) {
        for (int hook = 0; hook < gHookCount; ++hook) {
            gHooks[hook]();
        }
    }
    return complete;
}

}  // namespace fbxsdk_2006_11_1
