#include <fbxfilesdk/scene/KFbxSceneRenamer.h>

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KRenamingStrategy.h>

#include <cctype>

namespace fbxsdk_2006_11_1 {

namespace {

// Letters, digits, '_' and '-' everywhere; COLLADA identifiers also take '.'.
bool IsKept(char c, bool allowDot) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) != 0 || c == '_' || c == '-' || (allowDot && c == '.');
}

// Every other character becomes '_'; an empty name becomes "_".
KString LegalName(const char* name, bool allowDot) {
    KString legal(name != nullptr && *name != '\0' ? name : "_");
    char* text = legal.Buffer();
    for (int index = 0; text[index] != '\0'; ++index) {
        if (!IsKept(text[index], allowDot)) {
            text[index] = '_';
        }
    }
    return legal;
}

}  // namespace

void KFbxSceneRenamer::RenameFor(int kind) {
    if (mScene == nullptr) {
        return;
    }
    const bool plain = kind == ePLAIN_NAMES || kind == eDXF_3DS_OBJ || kind == ePLAIN_NAMES_KIND6;
    const bool collada = kind == eTO_COLLADA;
    KNumberRenamingStrategy unique;
    const int count = mScene->GetNodeCount();
    for (int index = 0; index < count; ++index) {
        KFbxNode* node = mScene->GetNode(index);
        if (node == nullptr || node == mScene->GetRootNode() || node == mScene->GetCameraSwitcherNode()) {
            continue;
        }
        KString name(node->GetName());
        if (plain || collada) {
            name = LegalName(name.Buffer(), collada);
        }
        unique.Rename(name);
        if (!(name == node->GetName())) {
            node->SetName(name.Buffer());
        }
    }
}

}  // namespace fbxsdk_2006_11_1
