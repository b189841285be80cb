#include <fbxfilesdk/fbx/KFbxWriter.h>

#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeWalk.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cerrno>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kErrorTexts[KFbxWriter::eERROR_COUNT] = {
    "File is corrupted",
    "File not opened",
    "File not created",
    "Out of disk space",
    "Stream options not set",
    "Out of memory resources for embedding textures",
    "Unidentified error",
};

// The system's text for the error; one it gave no number for is an I/O error.
const char* Reason(int systemError) { return std::strerror(systemError != 0 ? systemError : EIO); }

KString Cause(const char* path, const char* reason) { return KString(path != nullptr ? path : "") + ": " + reason; }

KString Sentence(const char* path, const char* undone, const char* reason) {
    return KString("The file ") + (path != nullptr ? path : "") + " was not " + undone + ": " + reason + ".";
}

}  // namespace

KFbxWriter::KFbxWriter(KFbxSdkManager& manager) : mManager(manager), mError(kErrorTexts, eERROR_COUNT) {}

KFbxWriter::~KFbxWriter() = default;

const char* KFbxWriter::GetErrorText(int code) {
    return code >= 0 && code < eERROR_COUNT ? kErrorTexts[code] : "";
}

KString KFbxWriter::SetOpenFailure(const char* path, int systemError) {
    return SetOpenFailure(path, Reason(systemError));
}

KString KFbxWriter::SetOpenFailure(const char* path, const char* reason) {
    const KString text = KString(kErrorTexts[eFILE_NOT_OPENED]) + " (" + Cause(path, reason) + ")";
    mError.SetErrorWithText(eFILE_NOT_OPENED, text.Buffer());
    return Sentence(path, "opened", reason);
}

KString KFbxWriter::SetWriteFailure(const char* path, int systemError) {
    return SetWriteFailure(path, Reason(systemError), systemError == ENOSPC || systemError == EDQUOT);
}

KString KFbxWriter::SetWriteFailure(const char* path, const char* reason, bool noSpace) {
    const KString text =
        KString(noSpace ? kErrorTexts[eOUT_OF_DISK_SPACE] : "Write error") + " (" + Cause(path, reason) + ")";
    mError.SetErrorWithText(noSpace ? eOUT_OF_DISK_SPACE : eUNIDENTIFIED_ERROR, text.Buffer());
    return Sentence(path, "written", reason);
}

KFbxNode* KFbxWriter::FindSingleChainNode(KFbxScene& scene) {
    KFbxNode* node = scene.GetRootNode();
    if (node == nullptr || node->GetChildCount() != 1) {
        return nullptr;
    }
    node = node->GetChild(0);
    while (node != nullptr) {
        if (node->IsMarked()) {
            return node;
        }
        if (node->GetChildCount() != 1) {
            return nullptr;
        }
        node = node->GetChild(0);
    }
    return nullptr;
}

bool KFbxWriter::CheckNodeNameSpaces(KFbxNode* node, KString& message) {
    if (node == nullptr) {
        return true;
    }
    // Every node is visited so that the message lists every bad name.
    bool clean = true;
    KFbxForEachNodeFrom(*node, [&clean, &message](const KFbxNode& checked) {
        const char* name = checked.GetName();
        if (name != nullptr && std::strpbrk(name, " \t\n") != nullptr) {
            message += "\n    ";
            message += name;
            clean = false;
        }
    });
    return clean;
}

}  // namespace fbxsdk_2006_11_1
