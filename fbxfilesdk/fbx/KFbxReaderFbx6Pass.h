// One read of an FBX 6 file into a scene: the objects, their connections,
// the takes and the settings, in the order the file needs them. Objects are
// found again by their names with type prefix, as the connections and take
// blocks name them. Every record is optional and every value has a default,
// so a file of unexpected content gives a partial scene but never a failure.
#ifndef FBXFILESDK_FBX_KFBXREADERFBX6PASS_H
#define FBXFILESDK_FBX_KFBXREADERFBX6PASS_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/ObjectNameTable.h>
#include <fbxfilesdk/fbx/PropertyNameLookup.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFCurveNode;
class KFbx;
class KFbxCharacter;
class KFbxGeometry;
class KFbxLayerElement;
class KFbxMesh;
class KFbxNode;
class KFbxObject;
class KFbxSdkManager;
class KFbxScene;
class KFbxStreamOptionsFbxReader;
class KFbxTakeNodeContainer;
class KFbxTexture;
class KFbxThumbnail;
class MediaExtraction;
class NodeLinkForest;

class KFbxReaderFbx6Pass {
public:
    KFbxReaderFbx6Pass(KFbxSdkManager& manager, KFbx& file, KFbxScene& scene, KFbxStreamOptionsFbxReader& options);
    virtual ~KFbxReaderFbx6Pass() = default;
    KFbxReaderFbx6Pass(const KFbxReaderFbx6Pass&) = delete;
    KFbxReaderFbx6Pass& operator=(const KFbxReaderFbx6Pass&) = delete;

    // The node a character link's "MODEL" names; empty where connections
    // give the nodes instead.
    using CharacterModelFinder = std::function<KFbxNode*(const KString&)>;

    // The take records of the "Summary" section (the second section).
    static void ReadSummaryTakes(KFbx& file, std::vector<KFbxTakeInfo>& takes, KString& current);

    // Where embedded media are extracted, for the whole import; nowhere when
    // null.
    void SetMedia(MediaExtraction* media) { mExtraction = media; }
    // Where the read's warnings go, one a line; none when null.
    void SetMessages(KString* messages) { mMessages = messages; }

    // Reads the main section into the (cleared) scene.
    void Run();
    // Whether something the file holds could not be built for want of memory.
    bool OutOfMemory() const { return mOutOfMemory; }

    // Checks the parametric geometry and constraint records of the main
    // section (selected, at its top level) before anything is read: false,
    // with the reason, for a record whose counts disagree with its arrays
    // or whose orders are unusable.
    static bool CheckObjectRecords(KFbx& file, KString& why);

protected:
    // The records that make the scene's objects and place them: "Objects"
    // and "Connections" here.
    virtual void ReadSceneRecords();
    // The scene-wide settings: the "Version5" block here.
    virtual void ReadSettingsRecords();
    // What every read does once the objects are placed: lost textures their
    // extracted media, unplaced models under the root, skeleton inheritance,
    // material and texture layers from the connections, poses, trimmed
    // surfaces, parent offsets and pivots.
    void FinishObjects();

    struct PendingPoseEntry {
        KFbxObject* mPose = nullptr;
        KString mNodeName;
        std::vector<double> mMatrix;
        bool mLocal = false;
    };

    bool Option(const char* name) const;
    KFbxClassId ClassIdOf(const char* className) const;
    KFbxObject* CreateObject(const char* className, const char* name);
    void Remember(const KString& prefixedName, KFbxObject* object);
    KFbxObject* Find(const KString& prefixedName) const;

    // ---- objects ----
    // Which "Model" record of the switcher type sets the scene's own switcher
    // (into mSwitcherRecord; none when it holds no name): one that no
    // connection puts under a model other than the root, of the writers' name
    // before any other, else the first such in the file. Files of older
    // writers give it the switcher's own name, and files of other programs
    // may link it under the root or models under it; any other switcher model
    // is a node of the tree.
    void FindSwitcherRecord();
    void ReadObjects();
    void ReadModel(const KString& prefixedName, const KString& typeName);
    // Moves the values of shape weights the model's property block made on
    // the node (past its first ownProperties) to the geometry's own.
    void GiveShapeWeightsToGeometry(KFbxNode& node, int ownProperties, KFbxGeometry& geometry);
    // Gives the values read into the attribute's animated properties to the
    // default take's channels they are tied to, which its getters read.
    static void GiveAttributeValuesToChannels(KFbxNode& node, const KFbxObject& attribute);
    KFbxObject* CreateAttribute(const KString& typeName, const std::vector<KString>& typeFlags, const char* name);
    void ReadAttributeFields(KFbxNode& node, KFbxObject* attribute);
    void ReadModelFlags(KFbxNode& node);
    // The "Properties60" block onto the object, and onto the second object
    // for names the first does not have (a node and its attribute); names
    // neither has become user properties of the first.
    // The number of properties that went to the second object.
    int ReadProperties(KFbxObject& object, KFbxObject* second, bool skipDerivedChannels = false);
    // Whether the property went to the second object.
    bool ReadProperty(KFbxObject& object, KFbxObject* second, bool skipDerivedChannels);
    void ReadGenericNode(const KString& prefixedName);
    void ReadSceneInfo();
    void ReadPose(const KString& prefixedName, const KString& typeName);
    void ReadMaterial(const KString& prefixedName, const KString& typeName);
    void ReadDeformer(const KString& prefixedName, const KString& typeName);
    void ReadVideo(const KString& prefixedName, const KString& typeName);
    // The file names and the embedded content of a video record.
    void ReadVideoContents(KFbxObject& video);
    // The file a record names: fileName when this process can read a
    // regular file there (a share's name never is one of this machine), else
    // the file the relative name (relative to the file read) finds beside
    // the file read, so that files moved together with their textures still
    // find them; else fileName, and there is false. A record that names what
    // the next record looked for before named (a texture after its video)
    // takes its result.
    KString FoundFileName(const KString& fileName, const KString& relativeName, bool& there) const;
    void ReadTexture(const KString& prefixedName, const KString& typeName);
    // Each texture whose file is nowhere takes the file extracted from its
    // medium: the video connected to it (which hands its names over as it is
    // connected), else the one its record names as its medium, else the
    // first whose record named the texture's file; the others keep the name
    // they have.
    void GiveLostTexturesTheirMedia();
    void ReadCache(const KString& prefixedName, const KString& typeName);
    void ReadWeightedMap(const KString& prefixedName, const KString& typeName);
    void ReadGlobalSettings();

    // ---- parametric geometry, control set plugs, constraints ----
    // The contents of a NURB or patch model; false for contents it refuses.
    bool ReadParametricAttribute(KFbxObject& attribute);
    // Layer elements, layers and shapes, which every geometry record may hold.
    void ReadGeometryContents(KFbxGeometry& geometry);
    void ReadGeometry(const KString& prefixedName, const KString& typeName);
    void ResolveTrimSurfaces();
    void ReadControlSetPlug(const KString& prefixedName, const KString& typeName);
    void ReadConstraints();
    void ReadConstraint(const KString& prefixedName, const KString& typeName);
    // The sixteen link blocks of a character record into the character.
    static void ReadCharacterLinks(KFbx& file, KFbxCharacter& character, const CharacterModelFinder& findModel);
    // The object's "Properties60" block of the current record, when it has one.
    void ReadPropertiesBlock(KFbxObject& object);
    void ResolveParentOffsets();

    // ---- geometry ----
    void ReadMesh(KFbxMesh& mesh);
    // "Vertices" and "PolygonVertexIndex", each polygon in its group of the
    // list when it has one; false without vertices.
    bool ReadMeshPolygons(KFbxMesh& mesh, const std::vector<int>& groups = {});
    // The elements by record name and typed index, until a layer takes them.
    using LayerElements = std::map<std::string, std::unique_ptr<KFbxLayerElement>>;
    void ReadLayerElements(LayerElements& elements);
    void ReadLayers(KFbxGeometry& geometry, LayerElements& elements);
    // Every "Shape" record, each a shape of the geometry. One the geometry
    // refuses the name of (none, or one it has as a property already) is
    // added under a name of its own (ShapeNames), said in the messages; the
    // file's weight and channels of its name stay the shape's that has it,
    // and the renamed one starts without either.
    void ReadShapes(KFbxGeometry& geometry);

    // ---- connections, takes, settings ----
    void ReadConnections();
    void Connect(const KString& kind, const std::vector<KString>& names);
    void ConnectObjects(KFbxObject* source, KFbxObject* destination);
    // Why the source may not be linked to the destination (the scene's root
    // has no parent; its producer cameras and switcher stay out of its tree
    // and take no part in deformers), as a message's end; null when it may.
    const char* LinkRefusal(KFbxObject& source, KFbxObject& destination) const;
    // True, with the reason in the read's messages, when LinkRefusal refuses
    // the link.
    bool RefusesLink(KFbxObject& source, KFbxObject& destination);
    void ResolvePoses();
    void ReadTakes();
    // The "Thumbnail" record of the current block as a new thumbnail of the
    // manager; null when there is none or it has no usable size.
    KFbxThumbnail* ReadThumbnail();
    // Overwrites the scene's record of the take or adds a new one.
    void StoreTakeInfo(const KFbxTakeInfo& take);
    // Each object's curves of the take, then the import filters over them.
    void ReadTakeBlocks(const KString& takeName, const char* recordName);
    // The import filters over one object's curves of a take: layered
    // channels baked into their base layer, the rotation filter of the
    // import settings on a model's rotation, the constant key reducer when
    // the settings ask for it, and the caller's time offset of the take.
    // The model is given for a "Model" block, null for other objects.
    void FilterTakeCurves(KFCurveNode& root, KFbxNode* model, const KString& takeName);
    // The caller's offset of the take (its record in the option's take
    // list), as a shift of its keys; zero when there is none.
    KTime TakeShift(const KString& takeName) const;
    void ReadVersion5();
    // The records of the "Version5" block, at the current level: ambient,
    // fog, shadow planes, time settings and renderer settings.
    void ReadGlobalSections();
    // The open "RendererSetting" block.
    void ReadRendererSetting();
    // The rest of the open "Settings" block, after the time settings and
    // before the current time marker is chosen: nothing here.
    virtual void ReadMoreSettings() {}

    KFbxSdkManager& mManager;
    KFbx& mFile;
    KFbxScene& mScene;
    KFbxStreamOptionsFbxReader& mOptions;
    ObjectNameTable mObjects;
    std::vector<PendingPoseEntry> mPoseEntries;
    // A parent constraint's offsets, which need its first source.
    struct PendingParentOffset {
        KFbxObject* mConstraint = nullptr;
        double mOffset[6] = {};
    };
    std::vector<PendingParentOffset> mParentOffsets;
    // Trimmed surfaces whose boundaries come with the connections.
    std::vector<KFbxObject*> mTrimSurfaces;
    std::vector<KFbxNode*> mNodes;
    // The prefixed name of the record FindSwitcherRecord chose, until read.
    std::optional<std::string> mSwitcherRecord;
    // The nodes this read made (not the scene's own cameras and switcher).
    std::vector<KFbxNode*> mCreatedNodes;
    // The parents of the nodes the connections link, while they are read.
    NodeLinkForest* mTreeLinks = nullptr;
    MediaExtraction* mExtraction = nullptr;
    // The folder of the file read, measured at the first record that looks
    // beside it.
    mutable std::optional<KFbxDocumentFolder> mDocumentFolder;
    // The files the records looked for led to, in the order they were
    // looked for, and the next one a record may name again.
    struct FoundFile {
        KString mFileName;
        KString mRelativeName;
        KString mFound;
        bool mThere = false;
    };
    mutable std::vector<FoundFile> mFound;
    mutable std::size_t mFoundNext = 0;
    // The media extracted from video records, in the file's order: the
    // video's name, the file the record named, and where its content went.
    struct ExtractedMedium {
        KString mVideo;
        KString mFileName;
        KString mPath;
        KString mRelativePath;
    };
    std::vector<ExtractedMedium> mExtracted;
    // The textures whose file is nowhere, until their media are known.
    std::vector<KFbxTexture*> mLostTextures;
    bool mOutOfMemory = false;
    KString* mMessages = nullptr;
    // The properties of the object a block sets, and of its second object.
    PropertyNameLookup mPropertyLookup;
    PropertyNameLookup mSecondLookup;
    std::string mPropertyName;
    std::string mPropertyTypeName;
    std::string mPropertyFlags;
};

// The rotation-order word a node's rotation channel is evaluated in: the
// node's own order while rotation is active outside the limit-only space,
// else XYZ. The import rotation filter unrolls by it.
int EvaluationRotationOrder(const KFbxNode& node);

}  // namespace fbxsdk_2006_11_1

#endif
