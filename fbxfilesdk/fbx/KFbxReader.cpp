#include <fbxfilesdk/fbx/KFbxReader.h>

#include <fbxfilesdk/scene/KFbxNode.h>

#include <set>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kErrorTexts[KFbxReader::eERROR_COUNT] = {
    "File is corrupted",
    "File version not supported",
    "Wrong password",
    "File not opened",
    "Out of memory",
    "Unidentified error",
    "Stream options not set",
};

}  // namespace

KFbxReader::KFbxReader(KFbxSdkManager& manager) : mManager(manager), mError(kErrorTexts, eERROR_COUNT) {}

KFbxReader::~KFbxReader() = default;

void KFbxReader::GetVersion(int& major, int& minor, int& revision) {
    major = 0;
    minor = 0;
    revision = 0;
}

bool KFbxReader::OpensRegularFilesOnly() const { return false; }

bool KFbxReader::CheckDuplicateNodeNames(KFbxNode* root, KString& message) {
    if (root == nullptr) {
        return true;
    }
    std::set<std::string> seen;
    std::set<std::string> reported;
    bool unique = true;
    // Iterative so that a deep hierarchy cannot exhaust the stack.
    std::vector<KFbxNode*> pending{root};
    while (!pending.empty()) {
        KFbxNode* node = pending.back();
        pending.pop_back();
        const std::string name = node->GetName();
        if (!seen.insert(name).second) {
            unique = false;
            if (reported.insert(name).second) {
                message += "\n    ";
                message += name.c_str();
            }
        }
        for (int child = node->GetChildCount() - 1; child >= 0; --child) {
            pending.push_back(node->GetChild(child));
        }
    }
    return unique;
}

void KFbxReader::GetMessageText(KString& message) const {
    message = mMessage;
    if (mWarnings > kKeptWarnings) {
        message += "(";
        message += mWarnings - kKeptWarnings;
        message += " more warnings not shown)\n";
    }
}

void KFbxReader::ClearMessage() {
    mMessage = KString();
    mWarnings = 0;
}

const char* KFbxReader::GetErrorText(int code) {
    return code >= 0 && code < eERROR_COUNT ? kErrorTexts[code] : "";
}

}  // namespace fbxsdk_2006_11_1
