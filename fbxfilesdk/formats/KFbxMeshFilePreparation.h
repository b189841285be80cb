// The scene preparation that every writer of plain mesh files (DXF, OBJ,
// 3DS) runs around its write: the checks at the start of a write, node names
// made legal and unique for those files, and the caller's names given back
// afterwards. The meshes themselves are prepared one node at a time, on
// copies, by KFbxWriterMesh.
#ifndef FBXFILESDK_FORMATS_KFBXMESHFILEPREPARATION_H
#define FBXFILESDK_FORMATS_KFBXMESHFILEPREPARATION_H

#include <fbxfilesdk/scene/KFbxSceneNameSnapshot.h>

namespace fbxsdk_2006_11_1 {

class ErrorHolder;
class KString;
class KFbxNode;
class KFbxScene;
class KFbxStreamOptions;

class KFbxMeshFilePreparation {
public:
    // Renames the scene's nodes for plain mesh files and gives the names
    // back when it goes out of scope (or at Restore):
    //     KFbxMeshFilePreparation::RenamedScene renamed(scene);
    //     ... write ...
    class RenamedScene {
    public:
        explicit RenamedScene(KFbxScene& scene);
        ~RenamedScene() { Restore(); }
        RenamedScene(const RenamedScene&) = delete;
        RenamedScene& operator=(const RenamedScene&) = delete;
        // Gives the names back now; later calls do nothing.
        void Restore();

    private:
        KFbxScene* mScene;
        KFbxSceneNameSnapshot mNames;
    };

    // The node names become legal and unique for plain mesh files (scene
    // renaming of kind 3); the names they had are kept in names, for
    // RestoreScene. Always true.
    static bool PreprocessScene(KFbxScene& scene, KFbxSceneNameSnapshot& names);
    // Gives the scene back the names PreprocessScene kept.
    static void RestoreScene(KFbxScene& scene, KFbxSceneNameSnapshot& names);

    // The checks the writers make at the start of Write, in this order:
    // options of their own class (own, null when they are not), an open
    // file, a scene with a root. The root, with "TRIANGULATE" and
    // "DEFORMATION" read into the flags; null with the error set.
    static KFbxNode* BeginWrite(ErrorHolder& error, KFbxStreamOptions* own, bool fileOpen, KFbxScene* scene,
                                bool& triangulate, bool& deformation);

    // Appends to a writer's message the line that tells that count values of
    // what (a kind: "mesh", "material") were not finite numbers and were
    // written as 0; nothing for a count of 0.
    static void TellNotFinite(KString& message, const char* what, const char* name, int count);
};

}  // namespace fbxsdk_2006_11_1

#endif
