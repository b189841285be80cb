// Renames the objects of one scene by the rules of a target file kind
// before the scene is written to, or after it was read from, that kind:
// names the kind cannot hold lose their unusable characters, and node names
// are made unique. The root and camera-switcher nodes keep their names.
#ifndef FBXFILESDK_SCENE_KFBXSCENERENAMER_H
#define FBXFILESDK_SCENE_KFBXSCENERENAMER_H

namespace fbxsdk_2006_11_1 {

class KFbxScene;

class KFbxSceneRenamer {
public:
    // The target kinds with rules of their own; any other kind only makes
    // node names unique.
    enum EKind {
        // Formats with plain names (DXF, 3DS, OBJ share these rules; kind 6 too).
        ePLAIN_NAMES = 1,
        eDXF_3DS_OBJ = 3,
        ePLAIN_NAMES_KIND6 = 6,
        // Names read from a COLLADA document.
        eFROM_COLLADA = 16,
        // Names written as COLLADA identifiers.
        eTO_COLLADA = 17
    };

    explicit KFbxSceneRenamer(KFbxScene* scene) : mScene(scene) {}

    // Nothing for a null scene.
    void RenameFor(int kind);

private:
    KFbxScene* mScene;
};

}  // namespace fbxsdk_2006_11_1

#endif
