#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KProgress.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneRenamer.h>
#include <fbxfilesdk/scene/KFbxVideo.h>
#include <fbxfilesdk/scene/KTimeSpan.h>

#include <charconv>
#include <cstring>
#include <initializer_list>
#include <new>
#include <string>
#include <unordered_set>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

// The name files give the scene's camera switcher.
constexpr char kCameraSwitcherName[] = "Camera Switcher";

constexpr int kFileVersion = 6100;

bool IsVersion(const KString& version, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (std::strcmp(version.Buffer(), name) == 0) {
            return true;
        }
    }
    return false;
}

// What readers of the older versions cannot take: NURBS surfaces, normals
// that are not by polygon vertex, NURBS curves.
void ConvertForOlderReaders(KFbxScene& scene) {
    scene.ConvertNurbsSurfaceNodes();
    scene.ComputeMeshNormals();
    scene.RemoveNurbsCurveAttributes();
}

KString IndexedName(const KFbxObject& object, int index) {
    KString name(object.GetName());
    name += "_";
    name += index;
    return name;
}

}  // namespace

KFbxWriter* CreateFbxWriter(KFbxSdkManager& manager, KFbxIO* io, int subFormat) {
    static const int kModes[] = {KFbxWriterFbx6::eBINARY, KFbxWriterFbx6::eASCII, KFbxWriterFbx6::eENCRYPTED,
                                 KFbxWriterFbx::eBINARY, KFbxWriterFbx::eASCII};
    if (subFormat < 0 || subFormat > 4) {
        return nullptr;
    }
    KFbxWriterFbxCommon* writer = nullptr;
    if (subFormat <= 2) {
        writer = new (std::nothrow) KFbxWriterFbx6(manager, io);
    } else {
        writer = new (std::nothrow) KFbxWriterFbx(manager, io);
    }
    if (writer != nullptr) {
        writer->SetFileMode(kModes[subFormat]);
    }
    return writer;
}

void KFbxRegisterFbxWriters() {
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    for (int id : {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                   KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER, KFbxFileFormatRegistry::eFBX5_BINARY_WRITER,
                   KFbxFileFormatRegistry::eFBX5_ASCII_WRITER}) {
        registry.SetWriterCreateFn(id, &CreateFbxWriter);
    }
}

KFbxWriterFbx6::KFbxWriterFbx6(KFbxSdkManager& manager, KFbxIO* io) : KFbxWriterFbxCommon(manager, io) {}

KFbxWriterFbx6::~KFbxWriterFbx6() {
    if (mFbx != nullptr) {
        FileClose();
    }
}

bool KFbxWriterFbx6::FileCreate(const char* fileName) { return CreateFieldFile(fileName, kFileVersion); }

bool KFbxWriterFbx6::PreprocessScene(KFbxScene& scene) {
    // Every name the renamer may change is remembered too, so that the
    // scene gets its own names back after the write.
    RememberNames(scene);
    // Files know the scene's switcher by its first name, as they know the
    // root by "Scene": a model of the switcher type under any other name is
    // a node of the tree. A node of the tree of that name is renamed below.
    if (KFbxNode* switcher = scene.GetCameraSwitcherNode()) {
        switcher->SetName(kCameraSwitcherName);
    }

    // Only unnamed objects get a name here, from what they belong to; a
    // name the scene gives stays, so a file read and written again keeps
    // its names. Clashes are settled for the whole file below.
    std::vector<std::pair<KFbxObject*, KString>> renames;
    const int attributeCount = scene.GetSrcObjectCount(KFbxNodeAttribute::ClassId);
    for (int i = 0; i < attributeCount; ++i) {
        KFbxObject* attribute = scene.GetSrcObject(KFbxNodeAttribute::ClassId, i);
        if (attribute == nullptr || attribute->GetName()[0] != '\0') {
            continue;
        }
        KFbxObject* node = attribute->GetDstObject(KFbxNode::ClassId, 0);
        renames.emplace_back(attribute, node != nullptr ? KString(node->GetName()) : IndexedName(*attribute, i));
    }
    const int deformerCount = scene.GetSrcObjectCount(KFbxDeformer::ClassId);
    for (int j = 0; j < deformerCount; ++j) {
        auto* deformer = static_cast<KFbxDeformer*>(scene.GetSrcObject(KFbxDeformer::ClassId, j));
        if (deformer == nullptr || deformer->GetName()[0] != '\0') {
            continue;
        }
        KFbxObject* attribute = deformer->GetDstObject(KFbxNodeAttribute::ClassId, 0);
        KFbxObject* node = attribute != nullptr ? attribute->GetDstObject(KFbxNode::ClassId, 0) : nullptr;
        if (node != nullptr) {
            const int type = deformer->GetDeformerType();
            KString name(type == KFbxDeformer::eSKIN           ? "Skin "
                         : type == KFbxDeformer::eVERTEX_CACHE ? "VertexCache "
                                                               : " ");
            name += node->GetName();
            renames.emplace_back(deformer, name);
        } else {
            renames.emplace_back(deformer, IndexedName(*deformer, j));
        }
    }
    const int subDeformerCount = scene.GetSrcObjectCount(KFbxSubDeformer::ClassId);
    for (int k = 0; k < subDeformerCount; ++k) {
        KFbxObject* subDeformer = scene.GetSrcObject(KFbxSubDeformer::ClassId, k);
        if (subDeformer == nullptr || subDeformer->GetName()[0] != '\0') {
            continue;
        }
        KFbxObject* link = subDeformer->GetSrcObject(KFbxNode::ClassId, 0);
        if (link != nullptr) {
            KString name("Cluster ");
            name += link->GetName();
            renames.emplace_back(subDeformer, name);
        } else {
            renames.emplace_back(subDeformer, IndexedName(*subDeformer, k));
        }
    }
    for (auto& [object, name] : renames) {
        object->SetName(name.Buffer());
    }

    const KString& version = mExportVersion;
    KFbxSceneRenamer renamer(&scene);
    bool result = false;
    switch (mExportMode) {
        case 4:
            renamer.RenameFor(4);
            result = true;
            break;
        case 6:
            if (IsVersion(version, {"FBX200508_MB70", "FBX60_MB60"})) {
                ConvertForOlderReaders(scene);
                renamer.RenameFor(3);
                result = true;
            } else if (IsVersion(version, {"FBX200602_MB75"})) {
                ConvertForOlderReaders(scene);
                renamer.RenameFor(2);
                result = true;
            } else if (IsVersion(version, {"FBX200608", "FBX200611"})) {
                renamer.RenameFor(2);
                result = true;
            }
            break;
        case 12:
            result = IsVersion(version, {"FBX200508_MB70", "FBX60_MB60", "FBX200602_MB75"});
            if (result) {
                ConvertForOlderReaders(scene);
            }
            break;
        default:
            break;
    }
    MakeNamesUnique(scene);
    return result;
}

bool KFbxWriterFbx6::PostprocessScene(KFbxScene& scene) {
    RestoreNames(scene);
    return mExportMode == 6 &&
           IsVersion(mExportVersion, {"FBX200508_MB70", "FBX200602_MB75", "FBX200608", "FBX200611"});
}

void KFbxWriterFbx6::TellNotFiniteValues(const IFbxObject* file) {
    if (file == nullptr) return;
    for (const auto& [field, count] : file->GetNotFiniteValues()) {
        char digits[24];
        *std::to_chars(digits, digits + sizeof digits - 1, count).ptr = '\0';
        mMessage += "The field \"";
        mMessage += field.c_str();
        mMessage += "\" has ";
        mMessage += digits;
        mMessage += " values that are not finite numbers; they are written as 0.\n";
    }
}

bool KFbxWriterFbx6::Write(KFbxScene* scene, KFbxStreamOptions* options, IFbxObject* fieldFile) {
    KFbxStreamOptionsFbxWriter* fresh = KFbxStreamOptionsFbxWriter::Create(&mManager, "");
    mOptions = nullptr;
    bool result = true;
    int steps = 1;
    IProgress* progress = KProgress::GetGlobal();
    if (progress != nullptr) {
        progress->Start();
    }

    mOptions = SelectWriteOptions(options, fresh);
    bool ready = mOptions != nullptr;
    if (ready && mOptions == fresh) {
        // A file written from motion options gets the animation.
        fresh->SetOption("ANIMATION", true);
    }
    if (!ready) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        result = false;
    }

    IFbxObject* ownFieldFile = mFbx;
    if (ready) {
        if (fieldFile != nullptr) {
            mFbx = fieldFile;
        } else if (mFbx == nullptr) {
            mError.SetError(eFILE_NOT_CREATED);
            result = false;
            ready = false;
        }
    }

    if (ready) {
        steps += mOptions->GetSelectedTakeCount();
        // Files for other programs: no "nan" or "inf" where a number stands.
        mFbx->SetNotFiniteWrittenAsZero(true);
    }
    if (progress != nullptr) {
        progress->SetStepCount(steps);
    }

    // Materials and textures of the layers join the scene as objects before
    // anything is counted, and each texture file gets a video for the media
    // records. The videos exist only for the file: they go again afterwards.
    std::unordered_set<const KFbxVideo*> ownVideos;
    if (scene != nullptr) {
        scene->ConnectMaterialsFromLayers();
        scene->ConnectTexturesFromLayers();
        for (int i = 0; i < scene->GetVideoCount(); ++i) {
            ownVideos.insert(scene->GetVideo(i));
        }
        scene->CreateVideosForTextures();
        // The scene is now as the file shows it: every section writes or
        // names the same models.
        GatherModels(*scene);
        mModelScene = scene;
    }

    if (ready) {
        if (result) {
            WriteDefinitions(scene);
            if (HasFieldFileError()) {
                SetFieldFileError();
                result = false;
            } else {
                WriteObjects(scene);
                if (HasFieldFileError()) {
                    SetFieldFileError();
                    result = false;
                }
            }
        }
        WritePassword();
        if (result) {
            WriteRelations(scene);
            result = !HasFieldFileError();
            if (result) {
                WriteConnections(scene);
                result = !HasFieldFileError();
            }
            if (result && scene != nullptr) {
                // The takes make each take current in turn; the scene's own
                // current take comes back afterwards.
                const KString currentTake(scene->GetCurrentTakeName());
                WriteTakes(*scene);
                if (std::strcmp(scene->GetCurrentTakeName(), currentTake.Buffer()) != 0) {
                    scene->SetCurrentTake(currentTake.Buffer());
                }
                result = !HasFieldFileError();
            }
            if (!result) {
                SetFieldFileError();
            }
        }
        if (result && IsOptionOn("GLOBAL SETTINGS") && scene != nullptr) {
            WriteVersion5(*scene);
            if (HasFieldFileError()) {
                SetFieldFileError();
                result = false;
            }
        }
    }
    // The file gets its identity fields and summary whatever failed before.
    if (fieldFile != nullptr) {
        mFbx = ownFieldFile;
    } else if (mFbx != nullptr) {
        mFbx->CloseFileIdentity();
        WriteSummary(scene, 0);
    }
    TellNotFiniteValues(fieldFile != nullptr ? fieldFile : mFbx);

    if (scene != nullptr) {
        // From the last, so the indexes still to visit stay put.
        for (int i = scene->GetVideoCount() - 1; i >= 0; --i) {
            KFbxVideo* video = scene->GetVideo(i);
            if (video != nullptr && ownVideos.count(video) == 0) {
                video->Destroy();
            }
        }
    }

    mModelScene = nullptr;
    mModels.clear();
    mHeldModels.clear();
    mOptions = nullptr;
    if (fresh != nullptr) {
        fresh->Destroy();
    }
    if (progress != nullptr) {
        progress->Finish();
    }
    return result;
}

void KFbxWriterFbx6::WriteVersion5(KFbxScene& scene) {
    mFbx->WriteComment("Version 5 settings");
    mFbx->WriteComment(std::string(66, '-').c_str());
    mFbx->WriteComment("");
    mFbx->FieldWriteBegin("Version5");
    mFbx->FieldWriteBlockBegin();
    WriteVersion5GlobalSections(scene);
    WriteSettings(scene);
    WriteRendererSetting(scene);
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
}

void KFbxWriterFbx6::WriteSettings(KFbxScene& scene) {
    KFbxGlobalTimeSettings& time = scene.GetGlobalTimeSettings();
    KTimeSpan span;
    span.Set(KTime(0), KTime(0));
    time.GetTimelineDefaultTimeSpan(span);
    mFbx->FieldWriteBegin("Settings");
    mFbx->FieldWriteBlockBegin();
    mFbx->WriteStringField("FrameRate", KTime::GetTimeModeName(time.GetTimeMode()));
    WriteIntRecord(*mFbx, "TimeFormat", time.GetTimeFormat());
    WriteIntRecord(*mFbx, "SnapOnFrames", time.GetSnapOnFrames());
    WriteIntRecord(*mFbx, "ReferenceTimeIndex", time.GetCurrentTimeMarker());
    // Plain tick counts in every file version.
    mFbx->FieldWriteBegin("TimeLineStartTime");
    mFbx->FieldWriteL(span.GetStart().Get());
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBegin("TimeLineStopTime");
    mFbx->FieldWriteL(span.GetStop().Get());
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
}

}  // namespace fbxsdk_2006_11_1
