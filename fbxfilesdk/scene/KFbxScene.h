// One 3D scene: the root of its node tree, the hidden camera-switcher node,
// the scene-wide settings and what it knows of its takes. Every other object
// belongs to the scene by being connected to it as a source, at most once,
// and the object lists are queries over those connections.
#ifndef FBXFILESDK_SCENE_KFBXSCENE_H
#define FBXFILESDK_SCENE_KFBXSCENE_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KString.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxCharacter;
class KFbxCharacterPose;
class KFbxControlSetPlug;
class KFbxGenericNode;
class KFbxGeometry;
class KFbxGlobalCameraSettings;
class KFbxGlobalLightSettings;
class KFbxGlobalSettings;
class KFbxGlobalTimeSettings;
class KFbxNode;
class KFbxPose;
class KFbxSceneInfo;
class KFbxSurfaceMaterial;
class KFbxTakeInfo;
class KFbxTakeNodeContainer;
class KFbxTexture;
class KFbxVideo;

class KFbxScene : public KFbxObject {
public:
    enum EError {
        eTAKE_ERROR = 0,
        eKFBX_OBJECT_IS_NULL,
        eKFBX_OBJECT_ALREADY_OWNED,
        eKFBX_OBJECT_UNKNOWN,
        eKFBX_OBJECT_OF_ANOTHER_SCENE,
        eERROR_COUNT
    };

    // The class id of KFbxScene; null until the class is registered.
    static KFbxClassId ClassId;

    // With its root and camera-switcher nodes, settings and "GlobalSettings".
    KFbxScene(KFbxSdkManager* manager, const char* name);
    ~KFbxScene() override;

    static KFbxScene* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    int GetObjectTypeCode() const override { return 17; }
    // An object already connected to this scene is refused a second time.
    bool ConnectNotify(const KFbxConnectEvent& event) override;
    // A producer camera is refused, by every route: its camera settings keep
    // it, apart from the scene's objects; so is a link the object would not
    // be told of.
    bool AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) override;
    // The owned settings, scene information and take records; with the first
    // flag, every connected object too.
    void DestroyContents(bool recursive, bool dependents) override;

    // Back to the state of a new scene, keeping the same root and switcher nodes.
    void Clear();

    KFbxNode* GetRootNode() const { return mRootNode; }
    KFbxNode* GetCameraSwitcherNode() const { return mCameraSwitcherNode; }
    // The current switcher node is destroyed unless it is the given one or
    // the root. Only the scene's own destruction destroys its root and
    // switcher nodes (KFbxNode::Destroy refuses them). A node that another
    // scene holds (its producer cameras among them) or that belongs to
    // another scene is refused with eKFBX_OBJECT_OF_ANOTHER_SCENE, one of
    // this scene's producer cameras or a node with a parent or children with
    // eKFBX_OBJECT_ALREADY_OWNED, the switcher node staying as it was.
    void SetCameraSwitcherNode(KFbxNode* node);

    KFbxGlobalLightSettings& GetGlobalLightSettings() { return *mGlobalLightSettings; }
    KFbxGlobalCameraSettings& GetGlobalCameraSettings() { return *mGlobalCameraSettings; }
    KFbxGlobalTimeSettings& GetGlobalTimeSettings() { return *mGlobalTimeSettings; }
    // The first connected KFbxGlobalSettings; null when none.
    KFbxGlobalSettings* GetGlobalSettings() const;

    KFbxSceneInfo* GetSceneInfo() const { return mSceneInfo; }
    // A previous, different scene information is destroyed.
    void SetSceneInfo(KFbxSceneInfo* sceneInfo);

    // ---- takes ----
    const char* GetCurrentTakeName() const { return mCurrentTakeName.Buffer(); }
    // Every take-node container is asked; false, with error eTAKE_ERROR, when
    // one lacks the take. The name is kept either way.
    bool SetCurrentTake(const char* name);
    // Every take name of the scene's containers once, in first-seen order;
    // the array's previous strings are deleted.
    void FillTakeNameArray(std::vector<KString*>& names) const;
    bool HasTakeName(const KString& name) const;
    // Null when none of that name.
    KFbxTakeInfo* GetTakeInfo(const KString& name) const;
    // False, storing nothing, when no container has the take; else the record
    // of that name is overwritten or a new one added.
    bool SetTakeInfo(const KFbxTakeInfo& info);
    // The scene takes ownership (the readers add the takes they read); false
    // for null.
    bool AddTakeInfo(KFbxTakeInfo* info);
    int GetTakeInfoCount() const { return static_cast<int>(mTakeInfos.size()); }
    KFbxTakeInfo* GetTakeInfoAt(int index) const;

    // ---- objects ----
    // Every node of the scene, the root and switcher nodes included.
    int GetNodeCount() const;
    KFbxNode* GetNode(int index) const;
    KFbxNode* FindNodeByName(const KString& name) const;
    int GetTakeNodeContainerCount() const;
    KFbxTakeNodeContainer* GetTakeNodeContainer(int index) const;
    int GetGenericNodeCount() const;
    KFbxGenericNode* GetGenericNode(int index) const;
    KFbxGenericNode* FindGenericNodeByName(const KString& name) const;
    // The materials, textures and geometries connected to the scene; Lambert
    // and Phong materials count as materials, meshes as geometries. Null out
    // of range and when no object has the name (the first of equal names).
    int GetMaterialCount() const;
    KFbxSurfaceMaterial* GetMaterial(int index) const;
    KFbxSurfaceMaterial* FindMaterialByName(const KString& name) const;
    int GetTextureCount() const;
    KFbxTexture* GetTexture(int index) const;
    KFbxTexture* FindTextureByName(const KString& name) const;
    int GetGeometryCount() const;
    KFbxGeometry* GetGeometry(int index) const;
    int GetVideoCount() const;
    KFbxVideo* GetVideo(int index) const;
    int GetPoseCount() const;
    KFbxPose* GetPose(int index) const;
    // Each create makes the object through the manager, connects it and
    // returns its index in its list; -1 when it cannot be made or connected.
    int GetCharacterCount() const;
    KFbxCharacter* GetCharacter(int index) const;
    int CreateCharacter(const char* name);
    int GetControlSetPlugCount() const;
    KFbxControlSetPlug* GetControlSetPlug(int index) const;
    int CreateControlSetPlug(const char* name);
    int GetCharacterPoseCount() const;
    KFbxCharacterPose* GetCharacterPose(int index) const;
    int CreateCharacterPose(const char* name);
    // Destroys the pose at the index with its own scene; nothing when none.
    void DestroyCharacterPose(int index);
    // Connects the object as a source of the scene.
    bool ConnectObject(KFbxObject* object);
    // Nodes with an attribute of the type: from the root, depth first, parents
    // before children, when recursive; in the scene's node order otherwise.
    void FillNodeArrayByAttributeType(std::vector<KFbxNode*>& nodes, int attributeType, bool recursive) const;
    void FillNodeArrayByAttributeTypeRecursive(std::vector<KFbxNode*>& nodes, int attributeType, KFbxNode* node) const;

    // Below node, recursively: a skeleton node read from an old file whose
    // parent is no skeleton goes from inheriting Rrs to RSrs.
    void FixSkeletonInheritTypes(KFbxNode* node);

    // ---- layers and connections, reconciled by readers and writers ----
    // Every geometry with a node: its layers' material (texture) elements
    // filled from the materials (textures) connected to its node.
    void FillMaterialLayersFromConnections();
    void FillTextureLayerOfChannelFromConnections(KFbxGeometry* geometry, int channel);
    // Channels 10, 11, 12, 13, 3, 14, 15, 17, 18, 19, 16, 20, 21, 22, 23.
    void FillTextureLayersFromConnections();
    // Every geometry with a node: the objects of its layers' material
    // (texture) elements connected to its node, the elements made
    // index-to-direct.
    void ConnectMaterialsFromLayers();
    void ConnectTexturesOfChannelFromLayers(KFbxGeometry* geometry, int channel);
    void ConnectTexturesFromLayers();
    // A video for every texture file and every light's gobo file, so that
    // a writer finds each file's media as an object. Nothing is made for a
    // file that a video of the scene already shows.
    void CreateVideosForTextures();
    // A video named videoName (fallbackName when that is empty) for the
    // file, connected to the scene; nothing for a null or empty file name.
    // The relative name is optional.
    void CreateVideoForTexture(const char* fileName, const char* relativeFileName, const char* videoName,
                               const char* fallbackName, KFbxSdkManager* manager);
    // Writers' preparations: NURBS surfaces become NURBs, meshes normals
    // by polygon vertex are recomputed, nodes carrying NURBS curves lose
    // their attributes.
    void ConvertNurbsSurfaceNodes();
    void ComputeMeshNormals();
    void RemoveNurbsCurveAttributes();

    ErrorHolder& GetError() { return mError; }

private:
    // The scene's sources of a class; none for a class not registered.
    int SourceCount(const KFbxClassId& classId) const;
    KFbxObject* SourceAt(const KFbxClassId& classId, int index) const;
    // The first source of the class with exactly that name.
    KFbxObject* FindSourceByName(const KFbxClassId& classId, const KString& name) const;
    // Destroys the first source until there is none.
    // lastFirst: the newest source first, as a teardown does, so that each
    // object leaves the lists it shares with the others from their ends and
    // the whole stays linear in the object count.
    void DestroySources(bool recursive, bool dependents, bool lastFirst);
    // The node told what this scene now holds it as.
    void UpdateSceneRoles(KFbxNode* node) const;
    // Forgets the root and switcher nodes, which may then be destroyed.
    void LetGoOfNodes();
    // Whether the scene holds this one, directly or through scenes it holds.
    bool IsHeldBy(const KFbxScene& scene) const;
    // The scenes this one holds, and those they hold, each once.
    void DestroyHeldScenes();
    void CreateGlobalSettings();
    void ClearTakeInfos();
    void DestroySceneInfo();
    void ResetCameraSwitcher();
    // Connects a new object; its index in the class's list, or -1 (destroying it).
    int AddCreatedObject(KFbxObject* object, const KFbxClassId& classId);

    KFbxSdkManager* mManager;
    KFbxNode* mCameraSwitcherNode = nullptr;
    KFbxNode* mRootNode = nullptr;
    KFbxGlobalLightSettings* mGlobalLightSettings = nullptr;
    KFbxGlobalCameraSettings* mGlobalCameraSettings = nullptr;
    KFbxGlobalTimeSettings* mGlobalTimeSettings = nullptr;
    KString mCurrentTakeName;
    std::vector<KFbxTakeInfo*> mTakeInfos;
    KFbxSceneInfo* mSceneInfo = nullptr;
    ErrorHolder mError;
};

// The index-th material or texture source of any object, in connection
// order; null out of range and for a null object.
KFbxSurfaceMaterial* GetSrcMaterial(const KFbxObject* object, int index);
KFbxTexture* GetSrcTexture(const KFbxObject* object, int index);

}  // namespace fbxsdk_2006_11_1

#endif
