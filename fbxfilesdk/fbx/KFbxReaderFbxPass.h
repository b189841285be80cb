// One read of an FBX 5 file into a scene. An FBX 5 file has no object
// definitions and no connections: each "Model" record carries its attribute,
// geometry, materials, textures, skin links, shapes and default channels, and
// names its children, targets and link bones, which are found once every
// model is read. Materials and textures are shared by name across models.
// Takes, poses, scene information and settings are read as in FBX 6 files.
// Every record is optional and every value has a default, so a file of
// unexpected content gives a partial scene but never a failure.
#ifndef FBXFILESDK_FBX_KFBXREADERFBXPASS_H
#define FBXFILESDK_FBX_KFBXREADERFBXPASS_H

#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>

#include <map>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxCamera;
class KFbxCharacterFilterSet;
class KFbxCluster;
class KFbxControlSet;
class KFbxSkin;

class KFbxReaderFbxPass : public KFbxReaderFbx6Pass {
public:
    KFbxReaderFbxPass(KFbxSdkManager& manager, KFbx& file, KFbxScene& scene, KFbxStreamOptionsFbxReader& options);

    // Checks the parametric geometry of the "Model" records of the current
    // block before anything is read: false, with the reason, for one whose
    // counts disagree with its arrays.
    static bool CheckModelRecords(KFbx& file, KString& why);

    // Reads the scene records of the open block (a character pose's
    // "PoseScene") into the scene, without takes, summary or settings.
    void RunNested();

protected:
    void ReadSceneRecords() override;
    void ReadSettingsRecords() override;
    // The producer cameras, and renderer settings nested here.
    void ReadMoreSettings() override;

private:
    struct MediaRecord {
        KString mFileName;
        KString mRelativeFileName;
        KFbxObject* mVideo = nullptr;
    };
    struct PendingChildren {
        KFbxNode* mParent = nullptr;
        std::vector<KString> mNames;
    };
    struct PendingTargets {
        KFbxNode* mNode = nullptr;
        KString mLookAt;
        KString mUp;
    };
    struct PendingLink {
        KFbxCluster* mCluster = nullptr;
        KString mLink;
        KString mAssociate;
    };

    // ---- records of the main section ----
    void ReadMedia();
    void ReadSwitcher();
    void ReadModels();
    void ResolveModelNames();
    void ReadGoboManager();
    void ReadCharacters();
    void ReadPersistence();
    // The open "FILTERSET" and "MB_CONTROLSET" blocks of a character.
    void ReadFilterSet(KFbxCharacterFilterSet& filterSet);
    void ReadControlSet(KFbxControlSet& controlSet);
    void ReadControlSetLink(KFbxControlSet& controlSet, int linkId);
    // The node the current block's "MODEL" names; null for none.
    KFbxNode* ReadModelField();
    // A character pose from its open "PoseScene" field.
    void ReadCharacterPose(const KString& prefixedName);

    // ---- one model ----
    void ReadModelRecord(const KString& prefixedName);
    // The kind of attribute the record's fields describe; null for a plain
    // node (no attribute, or a null written for one).
    KFbxObject* CreateModelAttribute();
    // The fields every model record has: flags, limits, targets and user
    // properties.
    void ReadModelBody(KFbxNode& node);
    void ReadLimits(KFbxNode& node);
    void ReadTargets(KFbxNode& node);
    void ReadUserProperties(KFbxNode& node);
    // The fields of the attribute's kind.
    void ReadAttributeContents(KFbxObject* attribute);
    void ReadCameraFields(KFbxCamera& camera);
    // The "Channel" blocks into the node's default take, whose values the
    // node's properties take.
    void ReadDefaultChannels(KFbxNode& node);

    // ---- geometry ----
    // Materials, textures, links and shapes, the records every geometry has.
    void ReadGeometryRecords(KFbxNode& node, KFbxGeometry& geometry);
    void ReadMaterialRecord(KFbxNode& node, const KString& prefixedName);
    void ReadTextureRecord(KFbxNode& node, const KString& prefixedName);
    void ReadLinkRecord(KFbxGeometry& geometry, KFbxSkin*& skin, const KString& prefixedName);
    void ReadMeshFields(KFbxMesh& mesh);
    void ReadMeshMaterials(KFbxMesh& mesh);
    void ReadMeshTextures(KFbxMesh& mesh);
    void ReadMeshUVs(KFbxMesh& mesh);
    void ReadMeshColors(KFbxMesh& mesh);
    void ReadTextureLayers(KFbxGeometry& geometry);
    // For each material or texture record of the model, its position among
    // the node's materials or textures; -1 for none.
    std::vector<int> SourcePositions(const std::vector<KFbxObject*>& records, const KFbxNode& node, bool material) const;

    std::map<std::string, MediaRecord> mMedia;
    std::vector<PendingChildren> mChildren;
    std::vector<PendingTargets> mTargets;
    std::vector<PendingLink> mLinks;
    // The material and texture records of the model being read, in order.
    std::vector<KFbxObject*> mModelMaterials;
    std::vector<KFbxObject*> mModelTextures;
    std::vector<int> mTextureCounts;
};

}  // namespace fbxsdk_2006_11_1

#endif
