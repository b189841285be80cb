// The FBX 6 writer: the writer base's scene checks, file creation and the
// status of each failure of the write pass, the names given for the file and
// taken back, the property block, model records and their attributes,
// connections and the summary.
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxWriter.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include "fbx/FbxWriterTestSupport.h"
#include "support/BoundedRun.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::writertest;

namespace {

class KFbxWriterFbx6Test : public WriterTest {
protected:
    KFbxStreamOptionsFbxWriter* Options() {
        KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
        EXPECT_NE(options, nullptr);
        return options;
    }

    KFbxProperty UserProperty(KFbxObject* object, const char* name, const KFbxDataType& type, bool animatable) {
        KFbxProperty property = KFbxProperty::Create(object, name, type, "");
        EXPECT_TRUE(property.IsValid());
        property.ModifyFlag(KFbxProperty::kUser, true);
        property.ModifyFlag(KFbxProperty::kAnimatable, animatable);
        return property;
    }
};

// ---- writer base ----

TEST_F(KFbxWriterFbx6Test, TheSingleChainNodeIsTheFirstMarkedOnAChainOfOnlyChildren) {
    KFbxWriterFbx6 writer(*mManager, nullptr);
    KFbxNode* a = AddNode("A");
    KFbxNode* b = AddNode("B", a);
    EXPECT_EQ(writer.FindSingleChainNode(*mScene), nullptr);
    b->SetMarked(true);
    EXPECT_EQ(writer.FindSingleChainNode(*mScene), b);
    a->SetMarked(true);
    EXPECT_EQ(writer.FindSingleChainNode(*mScene), a);
    // A root with two children has no chain, even with a marked child.
    AddNode("C");
    EXPECT_EQ(writer.FindSingleChainNode(*mScene), nullptr);
}

TEST_F(KFbxWriterFbx6Test, NamesWithBlanksAreListedDepthFirst) {
    KFbxWriterFbx6 writer(*mManager, nullptr);
    KFbxNode* arm = AddNode("Left Arm");
    AddNode("Hand\tL", arm);
    AddNode("Clean");
    KString message;
    EXPECT_FALSE(writer.CheckNodeNameSpaces(mScene->GetRootNode(), message));
    EXPECT_STREQ(message.Buffer(), "\n    Left Arm\n    Hand\tL");
    KString none;
    EXPECT_TRUE(writer.CheckNodeNameSpaces(mScene->GetRootNode()->GetChild(1), none));
    EXPECT_TRUE(none.IsEmpty());
}

TEST_F(KFbxWriterFbx6Test, StatusCodesHaveTheirTexts) {
    EXPECT_STREQ(KFbxWriter::GetErrorText(KFbxWriter::eFILE_NOT_CREATED), "File not created");
    EXPECT_STREQ(KFbxWriter::GetErrorText(KFbxWriter::eOUT_OF_DISK_SPACE), "Out of disk space");
    EXPECT_STREQ(KFbxWriter::GetErrorText(KFbxWriter::eEMBEDDED_OUT_OF_SPACE),
                 "Out of memory resources for embedding textures");
    EXPECT_STREQ(KFbxWriter::GetErrorText(7), "");
}

// ---- files and the failures of the write pass ----

TEST_F(KFbxWriterFbx6Test, AWriteWithoutFileSaysFileNotCreated) {
    KFbxWriterFbx6 writer(*mManager, nullptr);
    KFbxStreamOptionsFbxWriter* options = Options();
    EXPECT_FALSE(writer.Write(mScene, options));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eFILE_NOT_CREATED);
    EXPECT_STREQ(writer.GetLastErrorString(), "File not created");
    EXPECT_FALSE(writer.FileClose());
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eFILE_NOT_OPENED);
    options->Destroy();
}

TEST_F(KFbxWriterFbx6Test, MissingOptionsSayStreamOptionsNotSetAndTheFileStillCloses) {
    KFbxWriterFbx6 writer(*mManager, nullptr);
    const std::string path = mFolder.Write("nooptions.fbx", "earlier");
    ASSERT_TRUE(writer.FileCreate(path.c_str()));
    EXPECT_TRUE(writer.IsFileOpen());
    EXPECT_FALSE(writer.Write(mScene, nullptr));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eSTREAM_OPTIONS_NOT_SET);
    EXPECT_TRUE(writer.FileClose());
    EXPECT_FALSE(writer.IsFileOpen());
    // The refused write leaves the file it was to replace as it was.
    EXPECT_EQ(mFolder.Read("nooptions.fbx"), "earlier");
}

TEST_F(KFbxWriterFbx6Test, AFileThatCannotBeCreatedKeepsTheFieldFilesReason) {
    KFbxWriterFbx6 writer(*mManager, nullptr);
    EXPECT_FALSE(writer.FileCreate((mFolder / "missing/file.fbx").c_str()));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eFILE_NOT_CREATED);
    EXPECT_STRNE(writer.GetLastErrorString(), "");
}

TEST_F(KFbxWriterFbx6Test, AFullDiskFailsTheWriteAndTheFileIsStillClosed) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    KFbxWriterFbx6 writer(*mManager, nullptr);
    writer.SetFileMode(KFbxWriterFbx6::eASCII);
    KFbxStreamOptionsFbxWriter* options = Options();
    if (writer.FileCreate("/dev/full")) {
        // The field file may hold the records until the close, which then
        // finds the disk full.
        if (!writer.Write(mScene, options)) {
            EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eOUT_OF_DISK_SPACE);
        }
        EXPECT_FALSE(writer.FileClose());
        EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eOUT_OF_DISK_SPACE);
    } else {
        EXPECT_NE(writer.GetLastErrorID(), -1);
    }
    EXPECT_FALSE(writer.IsFileOpen());
    options->Destroy();
}

TEST_F(KFbxWriterFbx6Test, MotionOptionsWriteTheDefaultSectionsAndStayAsTheyWere) {
    KFbxStreamOptionsMotionWriter* motion = KFbxStreamOptionsMotionWriter::Create(mManager, "");
    ASSERT_NE(motion, nullptr);
    const int optionCount = motion->GetPropertyCount();
    const std::vector<std::string> lines = AsciiLines(motion);
    EXPECT_FALSE(Record(lines, "Definitions:").empty());
    EXPECT_FALSE(Record(lines, "Version5:").empty());
    EXPECT_EQ(motion->GetPropertyCount(), optionCount);
    motion->Destroy();
}

TEST_F(KFbxWriterFbx6Test, SectionsFollowTheOptions) {
    KFbxStreamOptionsFbxWriter* options = Options();
    options->SetOption("GLOBAL SETTINGS", false);
    options->SetOption("PASSWORD ENABLE", true);
    options->SetOption("PASSWORD", "");
    const std::vector<std::string> lines = AsciiLines(options);
    EXPECT_TRUE(Record(lines, "Version5:").empty());
    // No password without a password text.
    EXPECT_TRUE(Contains(lines, "PasswordProtection: 0"));
    options->Destroy();
}

// ---- names for the file ----

TEST_F(KFbxWriterFbx6Test, ThePreparationNamesObjectsForTheFileAndTheSceneGetsItsNamesBack) {
    KFbxNode* arm = AddNode("Arm");
    KFbxMesh* mesh = KFbxMesh::Create(mManager, "");
    arm->SetNodeAttribute(mesh);
    KFbxSkin* skin = KFbxSkin::Create(mManager, "");
    mesh->AddDeformer(skin);
    KFbxNode* hand = AddNode("Hand");
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "");
    cluster->SetLink(hand);
    KFbxCluster* named = KFbxCluster::Create(mManager, "Clu");
    KFbxCluster* twin = KFbxCluster::Create(mManager, "Clu");
    for (KFbxObject* object : {static_cast<KFbxObject*>(skin), static_cast<KFbxObject*>(cluster),
                               static_cast<KFbxObject*>(named), static_cast<KFbxObject*>(twin)}) {
        if (object->GetScene() == nullptr) {
            mScene->ConnectObject(object);
        }
    }
    ASSERT_EQ(cluster->GetLink(), hand);

    KFbxWriterFbx6 writer(*mManager, nullptr);
    writer.PreprocessScene(*mScene);
    EXPECT_STREQ(mesh->GetName(), "Arm");
    EXPECT_STREQ(skin->GetName(), "Skin Arm");
    EXPECT_STREQ(cluster->GetName(), "Cluster Hand");
    // A name of the scene's own stays unless another of its kind has it.
    EXPECT_STREQ(named->GetName(), "Clu");
    EXPECT_STREQ(twin->GetName(), "Clu1");
    // The default export mode asks for nothing more.
    EXPECT_FALSE(writer.PostprocessScene(*mScene));
    EXPECT_STREQ(mesh->GetName(), "");
    EXPECT_STREQ(skin->GetName(), "");
    EXPECT_STREQ(cluster->GetName(), "");
    EXPECT_STREQ(named->GetName(), "Clu");
    EXPECT_STREQ(twin->GetName(), "Clu");

    // Written twice, a name does not gather suffixes.
    const std::vector<std::string> first = AsciiLines();
    const std::vector<std::string> second = AsciiLines();
    EXPECT_EQ(first, second);
    EXPECT_STREQ(named->GetName(), "Clu");
}

TEST_F(KFbxWriterFbx6Test, EveryObjectOfAKindHasANameOfItsOwnInTheFile) {
    KFbxNode* first = AddNode("Twin");
    KFbxNode* second = AddNode("Twin");
    KFbxNode* scene = AddNode("Scene");
    KFbxNode* producer = AddNode("Producer Top");
    const std::vector<std::string> lines = AsciiLines();
    const std::vector<std::string> connections = Record(lines, "Connections:");
    EXPECT_TRUE(Contains(connections, "Connect: \"OO\",\"Model::Twin\",\"Model::Scene\""));
    EXPECT_TRUE(Contains(connections, "Connect: \"OO\",\"Model::Twin1\",\"Model::Scene\""));
    EXPECT_TRUE(Contains(connections, "Connect: \"OO\",\"Model::Scene1\",\"Model::Scene\""));
    EXPECT_TRUE(Contains(connections, "Connect: \"OO\",\"Model::Producer Top1\",\"Model::Scene\""));
    EXPECT_EQ(Count(Record(lines, "Objects:"), "Model: \"Model::Producer Top\""), 1);
    for (KFbxNode* node : {first, second}) {
        EXPECT_STREQ(node->GetName(), "Twin");
    }
    EXPECT_STREQ(scene->GetName(), "Scene");
    EXPECT_STREQ(producer->GetName(), "Producer Top");
}

TEST_F(KFbxWriterFbx6Test, ExportModesAndVersionsDecideThePreparationsResult) {
    KFbxWriterFbx6 writer(*mManager, nullptr);
    writer.SetExportMode(6);
    EXPECT_FALSE(writer.PreprocessScene(*mScene));
    writer.PostprocessScene(*mScene);
    writer.SetExportVersion("FBX200611");
    EXPECT_TRUE(writer.PreprocessScene(*mScene));
    EXPECT_TRUE(writer.PostprocessScene(*mScene));
    writer.SetExportVersion("FBX60_MB60");
    EXPECT_TRUE(writer.PreprocessScene(*mScene));
    EXPECT_FALSE(writer.PostprocessScene(*mScene));
    writer.SetExportMode(12);
    EXPECT_TRUE(writer.PreprocessScene(*mScene));
    writer.SetExportVersion("FBX200611");
    EXPECT_FALSE(writer.PreprocessScene(*mScene));
    writer.PostprocessScene(*mScene);
}

// ---- property block ----

TEST_F(KFbxWriterFbx6Test, AnimatableUserNumbersCarryLimitsWithoutTheSceneGettingAny) {
    KFbxNode* node = AddNode("Holder");
    KFbxProperty count = UserProperty(node, "Count", gKFbxDataTypeInteger, true);
    int five = 5;
    count.Set(&five, eFbxValueInteger);
    KFbxProperty weight = UserProperty(node, "Weight", gKFbxDataTypeNumber, true);
    double half = 0.5;
    weight.Set(&half, eFbxValueDouble);
    weight.SetMinLimit(-1.0);
    weight.SetMaxLimit(2.0);
    KFbxProperty low = UserProperty(node, "Low", gKFbxDataTypeInteger, true);
    low.SetMaxLimit(3.0);

    const std::vector<std::string> model = Record(AsciiLines(), "Model: \"Model::Holder\"");
    EXPECT_TRUE(Contains(model, "Property: \"Count\",\"Integer\",\"AU\",5,5,5"));
    EXPECT_TRUE(Contains(model, "Property: \"Weight\",\"Number\",\"AU\",0.5,-1,2"));
    // One limit unset: the integer range stands in for minus infinity.
    EXPECT_TRUE(Contains(model, "Property: \"Low\",\"Integer\",\"AU\",0,-2147483648,3"));
    EXPECT_TRUE(std::isinf(count.GetMinLimit()));
    EXPECT_TRUE(std::isinf(count.GetMaxLimit()));
}

TEST_F(KFbxWriterFbx6Test, EachValueTypeIsWrittenItsWay) {
    KFbxNode* node = AddNode("Holder");
    KFbxProperty mode = UserProperty(node, "Mode", gKFbxDataTypeEnum, false);
    mode.AddEnumValue("Off");
    mode.AddEnumValue("On");
    int on = 1;
    mode.Set(&on, eFbxValueEnum);
    KFbxProperty matrix = KFbxProperty::Create(node, "Frame", gKFbxDataTypeMatrix, "");
    KFbxProperty::Create(node, "Target", gKFbxDataTypeReference, "");
    KFbxProperty plain = KFbxProperty::Create(node, "Plain", gKFbxDataTypeEnum, "");
    plain.AddEnumValue("A");
    KFbxProperty text = UserProperty(node, "Text", gKFbxDataTypeKString, false);
    const KString hello("hello");
    text.Set(&hello, eFbxValueString);
    KFbxProperty animated = KFbxProperty::Create(node, "Spin", gKFbxDataTypeNumber, "");
    animated.ModifyFlag(KFbxProperty::kAnimatable | KFbxProperty::kPublicFlag8, true);

    const std::vector<std::string> model = Record(AsciiLines(), "Model: \"Model::Holder\"");
    EXPECT_TRUE(Contains(model, "Property: \"Mode\",\"enum\",\"U\",1,\"Off~On\""));
    EXPECT_TRUE(Contains(model, "Property: \"Plain\",\"enum\",\"\",0"));
    EXPECT_TRUE(Contains(model, "Property: \"Frame\",\"matrix4x4\",\"\",1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1") ||
                Contains(model, "Property: \"Frame\",\"matrix4x4\",\"\",0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"));
    EXPECT_TRUE(Contains(model, "Property: \"Target\",\"Reference\",\"\""));
    EXPECT_TRUE(Contains(model, "Property: \"Text\",\"KString\",\"U\",\"hello\""));
    EXPECT_TRUE(Contains(model, "Property: \"Spin\",\"Number\",\"A+\",0"));
}

TEST_F(KFbxWriterFbx6Test, AModelListsItsNodesPropertiesThenItsAttributes) {
    KFbxNode* node = AddNode("Marked");
    KFbxMarker* marker = KFbxMarker::Create(mManager, "");
    node->SetNodeAttribute(marker);
    const std::vector<std::string> model = Record(AsciiLines(), "Model: \"Model::Marked\"");
    const std::vector<std::string> block = Record(model, "Properties60:");
    ASSERT_FALSE(block.empty());
    // Lines: head, the node's properties, the marker's, closing brace.
    EXPECT_EQ(static_cast<int>(block.size()), 2 + node->GetPropertyCount() + marker->GetPropertyCount());
    EXPECT_EQ(block[1].substr(block[1].find_first_not_of('\t'), 10), "Property: ");
}

// ---- models ----

TEST_F(KFbxWriterFbx6Test, TheModelBodyFollowsTheNodesDisplayWords) {
    KFbxNode* plain = AddNode("Plain");
    plain->SetShading(0);
    plain->SetCulling(7);
    KFbxNode* hidden = AddNode("Hidden");
    hidden->SetVisibility(false);
    hidden->SetShading(3);
    hidden->SetCulling(1);
    KFbxNode* clockwise = AddNode("Clockwise");
    clockwise->SetCulling(2);
    clockwise->SetShading(5);
    const std::vector<std::string> lines = AsciiLines();

    const std::vector<std::string> first = Record(lines, "Model: \"Model::Plain\",\"Null\"");
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(Contains(first, "Version: 232"));
    EXPECT_FALSE(Contains(first, "Hidden: \"True\""));
    EXPECT_EQ(Count(first, "Shading:"), 0);
    EXPECT_TRUE(Contains(first, "Culling: \"CullingOff\""));
    EXPECT_TRUE(Contains(first, "TypeFlags: \"Null\""));

    const std::vector<std::string> second = Record(lines, "Model: \"Model::Hidden\"");
    const std::vector<std::string> tail(second.end() - 5, second.end());
    const std::vector<std::string> expected = {"\t\tHidden: \"True\"", "\t\tShading: Y",
                                               "\t\tCulling: \"CullingOnCCW\"", "\t\tTypeFlags: \"Null\"", "\t}"};
    EXPECT_EQ(tail, expected);
    const std::vector<std::string> third = Record(lines, "Model: \"Model::Clockwise\"");
    EXPECT_TRUE(Contains(third, "Culling: \"CullingOnCW\""));
    EXPECT_TRUE(Contains(third, "Shading: U"));
}

TEST_F(KFbxWriterFbx6Test, WithoutModelsOnlyNullsMarkersSkeletonsCamerasAndLightsKeepTheirContents) {
    KFbxNode* meshNode = AddNode("Shape");
    meshNode->SetNodeAttribute(KFbxMesh::Create(mManager, ""));
    KFbxNode* cameraNode = AddNode("Eye");
    cameraNode->SetNodeAttribute(KFbxCamera::Create(mManager, ""));
    KFbxStreamOptionsFbxWriter* options = Options();
    options->SetOption("MODEL", false);
    const std::vector<std::string> lines = AsciiLines(options);
    const std::vector<std::string> mesh = Record(lines, "Model: \"Model::Shape\",\"Mesh\"");
    ASSERT_GE(mesh.size(), 2u);
    EXPECT_EQ(mesh[mesh.size() - 2], "\t\tCulling: \"CullingOff\"");
    EXPECT_EQ(Count(lines, "ObjectType: \"Geometry\""), 0);
    const std::vector<std::string> camera = Record(lines, "Model: \"Model::Eye\",\"Camera\"");
    EXPECT_TRUE(Contains(camera, "GeometryVersion: 124"));
    EXPECT_TRUE(Contains(camera, "CameraOrthoZoom: 1"));
    // The switcher's contents need the models.
    EXPECT_FALSE(Contains(Record(lines, "Model: \"Model::Camera Switcher\""), "CameraName: 100"));
    options->Destroy();
}

TEST_F(KFbxWriterFbx6Test, ACameraWithoutNodeWritesNothing) {
    KFbxWriterFbx6 writer(*mManager, nullptr);
    KFbxCamera* camera = KFbxCamera::Create(mManager, "loose");
    ASSERT_NE(camera, nullptr);
    EXPECT_FALSE(writer.WriteCamera(*camera));
}

TEST_F(KFbxWriterFbx6Test, PosesAreDefinedAndWrittenAfterTheSceneInformation) {
    KFbxNode* arm = AddNode("Arm");
    KFbxPose* bind = KFbxPose::Create(mManager, "Bind");
    bind->SetIsBindPose(true);
    ASSERT_EQ(bind->Add(arm, KgeMatrix()), 0);
    KFbxPose* rest = KFbxPose::Create(mManager, "Rest");
    for (KFbxPose* pose : {bind, rest}) {
        mScene->ConnectObject(pose);
    }
    const std::vector<std::string> lines = AsciiLines();
    EXPECT_TRUE(Contains(Record(lines, "ObjectType: \"Pose\""), "Count: 2"));
    EXPECT_TRUE(Contains(Record(lines, "Definitions:"), "Count: 11"));
    const std::vector<std::string> objects = Record(lines, "Objects:");
    EXPECT_EQ(Count(objects, "Pose: \"Pose::"), 2);
}

TEST_F(KFbxWriterFbx6Test, CharacterPosesAreListedNowhereSoTheFileAgreesWithItsRecords) {
    AddNode("Arm");
    mScene->ConnectObject(KFbxPose::Create(mManager, "Rest"));
    const int index = mScene->CreateCharacterPose("Stance");
    ASSERT_GE(index, 0);
    mScene->GetCharacterPose(index)->GetPoseScene()->GetRootNode()->AddChild(KFbxNode::Create(mManager, "Hips"));
    KFbxStreamOptionsFbxWriter* options = Options();
    options->SetOption("CHARACTER", true);
    const std::vector<std::string> lines = AsciiLines(options);
    options->Destroy();
    EXPECT_TRUE(Contains(Record(lines, "ObjectType: \"Pose\""), "Count: 1"));
    EXPECT_EQ(Count(Record(lines, "Objects:"), "Pose: \"Pose::"), 1);
    EXPECT_EQ(Count(Record(lines, "Relations:"), "Pose: \"Pose::"), 1);
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("Stance"), std::string::npos) << line;
    }
    // The scene keeps its character pose.
    ASSERT_EQ(mScene->GetCharacterPoseCount(), 1);
    EXPECT_STREQ(mScene->GetCharacterPose(0)->GetName(), "Stance");
}

// ---- connections and summary ----

TEST_F(KFbxWriterFbx6Test, AttributesConnectThroughTheirNodes) {
    KFbxNode* parent = AddNode("Parent");
    KFbxNode* child = AddNode("Child", parent);
    child->SetNodeAttribute(KFbxNull::Create(mManager, "childNull"));
    const std::vector<std::string> connections = Record(AsciiLines(), "Connections:");
    const std::vector<std::string> expected = {
        "Connections:  {", "\tConnect: \"OO\",\"Model::Parent\",\"Model::Scene\"",
        "\tConnect: \"OO\",\"Model::Child\",\"Model::Parent\"", "}"};
    EXPECT_EQ(connections, expected);
}

TEST_F(KFbxWriterFbx6Test, AMeshSharedByTwoNodesIsShownByEachWhereItStands) {
    KFbxNode* left = AddNode("Left");
    left->SetLclTranslation(KFbxVector4(-50, 0, 0, 0));
    KFbxNode* group = AddNode("Group");
    group->SetLclTranslation(KFbxVector4(0, 0, 10, 0));
    KFbxNode* right = AddNode("Right", group);
    right->SetLclTranslation(KFbxVector4(70, 0, 0, 0));
    KFbxMesh* mesh = KFbxMesh::Create(mManager, "Teapot");
    const KFbxVector4 corners[3] = {KFbxVector4(0, 0, 0, 1), KFbxVector4(1, 0, 0, 1), KFbxVector4(0, 1, 0, 1)};
    mesh->InitControlPoints(3);
    std::copy(corners, corners + 3, mesh->GetControlPoints());
    const int triangle[3] = {0, 1, ~2};
    mesh->AddPolygons(triangle, 3);
    left->SetNodeAttribute(mesh);
    right->SetNodeAttribute(mesh);
    const std::vector<std::string> lines = AsciiLines();
    const std::vector<std::string> expected = {
        "Connections:  {", "\tConnect: \"OO\",\"Model::Left\",\"Model::Scene\"",
        "\tConnect: \"OO\",\"Model::Group\",\"Model::Scene\"", "\tConnect: \"OO\",\"Model::Right\",\"Model::Group\"",
        "}"};
    EXPECT_EQ(Record(lines, "Connections:"), expected);

    // Our reader gives each node its own mesh, under its own parent, at its
    // own place.
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    KFbxImporter* importer = KFbxImporter::Create(mManager, "");
    ASSERT_TRUE(importer->Initialize((mFolder / "scene.fbx").c_str()));
    ASSERT_TRUE(importer->Import(read));
    importer->Destroy();
    const struct {
        const char* mName;
        const char* mParent;
        double mX;
    } kPlaces[] = {{"Left", "Scene", -50.0}, {"Right", "Group", 70.0}};
    for (const auto& place : kPlaces) {
        KFbxNode* node = read->GetRootNode()->FindChild(place.mName, true);
        ASSERT_NE(node, nullptr) << place.mName;
        const KFbxNode* parent = node->GetParent();
        EXPECT_STREQ(parent == read->GetRootNode() ? "Scene" : parent->GetName(), place.mParent);
        auto* readMesh = dynamic_cast<KFbxMesh*>(node->GetNodeAttribute());
        ASSERT_NE(readMesh, nullptr) << place.mName;
        ASSERT_EQ(readMesh->GetControlPointsCount(), 3);
        const KFbxVector4 world = KgeMatrix(node->EvaluateDefaultGlobalTransform()).MultT(readMesh->GetControlPoints()[1]);
        EXPECT_DOUBLE_EQ(world[0], place.mX + 1.0) << place.mName;
        EXPECT_DOUBLE_EQ(world[2], place.mX > 0 ? 10.0 : 0.0) << place.mName;
    }

    // A node destroyed leaves the mesh to the other, which still writes it.
    left->Destroy();
    ASSERT_EQ(right->GetNodeAttribute(), mesh);
    EXPECT_EQ(mesh->GetControlPointsCount(), 3);
    EXPECT_EQ(Count(Record(AsciiLines(), "Model: \"Model::Right\",\"Mesh\""), "Vertices: "), 1);
}

// The names of a scene's nodes below the root, depth first.
void CollectNames(const KFbxNode& node, std::vector<std::string>& names) {
    for (int i = 0; i < node.GetChildCount(); ++i) {
        names.emplace_back(node.GetChild(i)->GetName());
        CollectNames(*node.GetChild(i), names);
    }
}

TEST_F(KFbxWriterFbx6Test, HostileScenesReadBackAsTheyWereSaveTheValuesTheMessageNames) {
    const double nan = std::nan("");
    const struct {
        const char* mName;
        std::function<void()> mBuild;
        std::vector<std::string> mExportMessage;
    } cases[] = {
        {"names with markup, quotes, line ends, control characters and UTF-8",
         [this] {
             for (const char* name : {"<b class=\"x\">&amp;", "line\nend\r\n", "tab\there\x01\x7f", "\xC3\xBCn\xC3\xAF",
                                      "Model::\"; Connect", "}"}) {
                 AddNode(name);
             }
         },
         {}},
        {"numbers that are not finite",
         [this, nan] {
             KFbxNode* node = AddNode("Lost");
             node->SetLclTranslation(KFbxVector4(nan, HUGE_VAL, 1, 0));
             KFbxMesh* mesh = KFbxMesh::Create(mManager, "");
             mesh->InitControlPoints(3);
             mesh->GetControlPoints()[1] = KFbxVector4(-HUGE_VAL, 0, 0, 1);
             const int triangle[3] = {0, 1, ~2};
             mesh->AddPolygons(triangle, 3);
             node->SetNodeAttribute(mesh);
         },
         {"The field \"Property\" has 2 values that are not finite numbers; they are written as 0.\n",
          "The field \"Vertices\" has 3 values that are not finite numbers; they are written as 0.\n"}},
        {"an empty mesh and polygons of no, one and two corners",
         [this] {
             AddNode("Empty")->SetNodeAttribute(KFbxMesh::Create(mManager, ""));
             KFbxMesh* mesh = KFbxMesh::Create(mManager, "");
             mesh->InitControlPoints(3);
             for (int size : {0, 1, 2, 3}) {
                 mesh->BeginPolygon();
                 for (int k = 0; k < size; ++k) mesh->AddPolygonVertex(k);
                 mesh->EndPolygon();
             }
             AddNode("Short")->SetNodeAttribute(mesh);
         },
         {}},
    };
    for (const auto& hostile : cases) {
        SCOPED_TRACE(hostile.mName);
        TearDown();
        SetUp();
        hostile.mBuild();
        std::vector<std::string> names;
        CollectNames(*mScene->GetRootNode(), names);
        AsciiLines();
        for (const std::string& line : hostile.mExportMessage) {
            EXPECT_NE(std::string(mExportMessage.Buffer()).find(line), std::string::npos) << mExportMessage.Buffer();
        }
        if (hostile.mExportMessage.empty()) EXPECT_STREQ(mExportMessage.Buffer(), "");

        // Read back: the same nodes under the same names, every place a
        // finite number.
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        ASSERT_TRUE(importer->Initialize((mFolder / "scene.fbx").c_str()));
        ASSERT_TRUE(importer->Import(read));
        importer->Destroy();
        std::vector<std::string> readNames;
        CollectNames(*read->GetRootNode(), readNames);
        EXPECT_EQ(readNames, names);
        for (int i = 0; i < read->GetNodeCount(); ++i) {
            const KgeMatrix global = read->GetNode(i)->EvaluateDefaultGlobalTransform();
            for (int j = 0; j < 16; ++j) EXPECT_TRUE(std::isfinite(global[j / 4][j % 4]));
        }
        if (KFbxNode* lost = read->GetRootNode()->FindChild("Lost", false)) {
            const KFbxVector4 place = lost->EvaluateDefaultGlobalTransform().GetT();
            EXPECT_EQ(place[0], 0.0);
            EXPECT_EQ(place[1], 0.0);
            EXPECT_EQ(place[2], 1.0);
        }
        if (KFbxNode* shortNode = read->GetRootNode()->FindChild("Short", false)) {
            auto* mesh = dynamic_cast<KFbxMesh*>(shortNode->GetNodeAttribute());
            ASSERT_NE(mesh, nullptr);
            ASSERT_GT(mesh->GetPolygonCount(), 0);
            EXPECT_EQ(mesh->GetPolygonSize(mesh->GetPolygonCount() - 1), 3);
        }
    }
}

// Every binary writer embeds what it can and names what it leaves out,
// without waiting on a FIFO or reading a device without end.
TEST_F(KFbxWriterFbx6Test, MediaThatAreNotRegularFilesAreLeftOutByName) {
    const std::string good = mFolder.Write("good.tga", "good pixels");
    const std::string fifo = mFolder / "pipe.tga";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> rows[] = {{"/dev/zero", "not a regular file"},
                                                        {fifo, "not a regular file"},
                                                        {mFolder.Path().string(), std::strerror(EISDIR)},
                                                        {mFolder / "missing.tga", std::strerror(ENOENT)}};
    const std::string path = mFolder / "scene.fbx";
    for (const int format : {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER,
                             KFbxFileFormatRegistry::eFBX5_BINARY_WRITER}) {
        for (const auto& [media, why] : rows) {
            SCOPED_TRACE(media + " in format " + std::to_string(format));
            TearDown();
            SetUp();
            for (const std::string& file : {good, media}) {
                KFbxTexture* texture = KFbxTexture::Create(mManager, file == good ? "Good" : "Odd");
                texture->SetFileName(file.c_str());
                mScene->ConnectObject(texture);
            }
            KFbxStreamOptionsFbxWriter* options = Options();
            options->SetOption("EMBEDDED", true);
            const boundedrun::Outcome outcome = boundedrun::Run(
                [&] {
                    const bool exported = Export(path, format, options);
                    std::ofstream(mFolder / "message.txt") << mExportMessage.Buffer();
                    return exported ? 0 : 1;
                },
                boundedrun::SecondsFor(0));
            ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
            EXPECT_EQ(outcome.mValue, 0);
            EXPECT_EQ(mFolder.Read("message.txt"), "The media file \"" + media + "\" is not embedded: " + why + ".\n");
            // The good file comes back from the written one alone.
            std::filesystem::rename(good, good + ".away");
            std::filesystem::remove_all(mFolder / "scene.fbm");
            KFbxImporter* importer = KFbxImporter::Create(mManager, "");
            EXPECT_TRUE(importer->Initialize(path.c_str()) && importer->Import(KFbxScene::Create(mManager, "")));
            importer->Destroy();
            std::filesystem::rename(good + ".away", good);
            EXPECT_EQ(mFolder.Read("scene.fbm/good.tga"), "good pixels");
        }
    }
}

TEST_F(KFbxWriterFbx6Test, TheSummaryFindsTheTemplateMarkerAndListsSelectedTakes) {
    AddNode("~fbxexport~", AddNode("Group"));
    KFbxStreamOptionsFbxWriter* options = Options();
    const std::vector<std::string> summary = Record(AsciiLines(options), "Summary:");
    EXPECT_TRUE(Contains(summary, "Template: 1"));
    EXPECT_TRUE(Contains(summary, "Model: 2"));
    EXPECT_TRUE(options->GetBoolOption("TEMPLATE", false));
    EXPECT_EQ(Count(summary, "Take:"), 0);
    options->Destroy();
}

TEST_F(KFbxWriterFbx6Test, ASectionThatFailsStopsTheDocumentButNotThePasswordOrTheEnd) {
    // A field file open for reading refuses every record: the check after
    // the first section catches it.
    const std::string path = mFolder / "source.fbx";
    ASSERT_TRUE(Export(path, KFbxFileFormatRegistry::eFBX_BINARY_WRITER)) << mLastError;
    IFbxObject* reading = IFbxObject::Create();
    ASSERT_NE(reading, nullptr);
    ASSERT_TRUE(reading->FileOpen(path.c_str()));
    KFbxWriterFbx6 writer(*mManager, nullptr);
    KFbxStreamOptionsFbxWriter* options = Options();
    EXPECT_FALSE(writer.Write(mScene, options, reading));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eOUT_OF_DISK_SPACE);
    EXPECT_STREQ(writer.GetLastErrorString(), "Out of disk space");
    // The writer's own (absent) field file is left as it was.
    EXPECT_FALSE(writer.IsFileOpen());
    reading->Destroy();
    options->Destroy();
}

TEST_F(KFbxWriterFbx6Test, AGivenFieldFileGetsTheDocumentWithoutSummary) {
    const std::string path = mFolder / "nested.fbx";
    IFbxObject* fbx = IFbxObject::Create();
    ASSERT_NE(fbx, nullptr);
    ASSERT_TRUE(fbx->FileCreate(path.c_str(), false, false, nullptr));
    KFbxWriterFbx6 writer(*mManager, nullptr);
    KFbxStreamOptionsFbxWriter* options = Options();
    EXPECT_TRUE(writer.Write(mScene, options, fbx));
    EXPECT_TRUE(fbx->FileClose());
    fbx->Destroy();
    const std::vector<std::string> lines = ReadLines(path);
    EXPECT_FALSE(Record(lines, "Objects:").empty());
    EXPECT_TRUE(Record(lines, "Summary:").empty());
    options->Destroy();
}

TEST_F(KFbxWriterFbx6Test, SceneInformationIsWrittenInObjectsAndSummary) {
    KFbxSceneInfo* info = KFbxSceneInfo::Create(mManager, "info");
    ASSERT_NE(info, nullptr);
    info->mTitle = "Title";
    mScene->SetSceneInfo(info);
    const std::vector<std::string> lines = AsciiLines();
    EXPECT_TRUE(Contains(Record(lines, "Definitions:"), "ObjectType: \"SceneInfo\" {"));
    const std::vector<std::string> objects = Record(Record(lines, "Objects:"), "SceneInfo:");
    const std::vector<std::string> expected = {
        "\tSceneInfo: \"SceneInfo::GlobalInfo\",\"UserData\" {", "\t\tType: \"UserData\"", "\t\tVersion: 100",
        "\t\tMetaData:  {", "\t\t\tVersion: 100", "\t\t\tTitle: \"Title\"", "\t\t\tSubject: \"\"",
        "\t\t\tAuthor: \"\"", "\t\t\tKeywords: \"\"", "\t\t\tRevision: \"\"", "\t\t\tComment: \"\"", "\t\t}", "\t}"};
    EXPECT_EQ(objects, expected);
    EXPECT_FALSE(Record(Record(lines, "Summary:"), "SceneInfo:").empty());
}

TEST_F(KFbxWriterFbx6Test, TheSummaryListsSelectedTakesButNeverDefault) {
    KFbxNode* node = AddNode("Walker");
    ASSERT_NE(node->CreateTakeNode("Walk"), nullptr);
    ASSERT_NE(node->CreateTakeNode("Skipped"), nullptr);
    KFbxTakeInfo walk;
    walk.mName = "Walk";
    walk.mDescription = "A walk";
    walk.mLocalTimeSpan.Set(KTime(0), KTime(1000));
    walk.mReferenceTimeSpan.Set(KTime(0), KTime(2000));
    ASSERT_TRUE(mScene->SetTakeInfo(walk));
    KFbxTakeInfo skipped;
    skipped.mName = "Skipped";
    skipped.mSelect = false;
    ASSERT_TRUE(mScene->SetTakeInfo(skipped));
    const std::vector<std::string> takes = Record(Record(AsciiLines(), "Summary:"), "Takes:");
    // Writing the takes makes each current in turn; the scene's comes back.
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "");
    const std::vector<std::string> expected = {
        "\tTakes:  {",        "\t\tVersion: 101",
        "\t\tCurrent: \"\"",  "\t\tTake: \"Walk\" {",
        "\t\t\tComments: \"A walk\"", "\t\t\tLocalTime: 0,1000",
        "\t\t\tReferenceTime: 0,2000", "\t\t}",
        "\t}"};
    EXPECT_EQ(takes, expected);
}

// ---- the expected file of a small scene ----

// Every kind of model this writer knows and a user property of each value
// type, written in ascii and compared with the checked-in file line by line.
// QALIMOR_UPDATE_GOLDEN=1 writes the file anew.
TEST_F(KFbxWriterFbx6Test, ASmallSceneMatchesItsExpectedFile) {
    KFbxNode* nullNode = AddNode("Null");
    nullNode->SetNodeAttribute(KFbxNull::Create(mManager, "NullAttribute"));
    KFbxNode* markerNode = AddNode("Marker", nullNode);
    markerNode->SetNodeAttribute(KFbxMarker::Create(mManager, "MarkerAttribute"));
    KFbxNode* boneNode = AddNode("Bone");
    KFbxSkeleton* bone = KFbxSkeleton::Create(mManager, "BoneAttribute");
    bone->SetSkeletonType(KFbxSkeleton::eLIMB_NODE);
    boneNode->SetNodeAttribute(bone);
    KFbxNode* cameraNode = AddNode("Camera");
    cameraNode->SetNodeAttribute(KFbxCamera::Create(mManager, "CameraAttribute"));
    cameraNode->SetLclTranslation(KFbxVector4(1.0, 2.0, 3.0, 1.0));
    KFbxNode* lightNode = AddNode("Light");
    KFbxLight* light = KFbxLight::Create(mManager, "LightAttribute");
    light->SetLightType(KFbxLight::eSPOT);
    lightNode->SetNodeAttribute(light);
    lightNode->SetVisibility(false);
    lightNode->SetCulling(1);
    auto* switcher = static_cast<KFbxCameraSwitcher*>(mScene->GetCameraSwitcherNode()->GetNodeAttribute());
    switcher->AddCameraName("Camera");

    bool yes = true;
    UserProperty(nullNode, "UserBool", gKFbxDataTypeBool, false).Set(&yes, eFbxValueBool);
    int seven = 7;
    UserProperty(nullNode, "UserInt", gKFbxDataTypeInteger, true).Set(&seven, eFbxValueInteger);
    float quarter = 0.25f;
    UserProperty(nullNode, "UserFloat", gKFbxDataTypeFloat, false).Set(&quarter, eFbxValueFloat);
    double third = 1.0 / 3.0;
    KFbxProperty number = UserProperty(nullNode, "UserDouble", gKFbxDataTypeNumber, true);
    number.Set(&third, eFbxValueDouble);
    number.SetMinLimit(0.0);
    number.SetMaxLimit(1.0);
    const fbxDouble3 vector(1.5, -2.0, 0.0);
    UserProperty(nullNode, "UserVector", gKFbxDataTypeVector, false).Set(&vector, eFbxValueDouble3);
    const fbxDouble4 colour(0.1, 0.2, 0.3, 1.0);
    UserProperty(nullNode, "UserColor", gKFbxDataTypeColorAndAlpha, false).Set(&colour, eFbxValueDouble4);
    fbxDouble44 matrix;
    for (int i = 0; i < 4; ++i) {
        matrix[i][i] = 2.0;
    }
    UserProperty(nullNode, "UserMatrix", gKFbxDataTypeMatrix, false).Set(&matrix, eFbxValueDouble44);
    KFbxProperty choice = UserProperty(nullNode, "UserEnum", gKFbxDataTypeEnum, false);
    choice.AddEnumValue("Low");
    choice.AddEnumValue("High");
    int high = 1;
    choice.Set(&high, eFbxValueEnum);
    const KString text("text \"quoted\"");
    UserProperty(nullNode, "UserString", gKFbxDataTypeKString, false).Set(&text, eFbxValueString);
    const KTime second(46186158000LL);
    UserProperty(nullNode, "UserTime", gKFbxDataTypeTime, false).Set(&second, eFbxValueTime);

    const std::vector<std::string> lines = AsciiLines();
    const std::filesystem::path golden =
        std::filesystem::path(__FILE__).parent_path() / "golden" / "small_scene_ascii.fbx";
    const char* update = std::getenv("QALIMOR_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::filesystem::create_directories(golden.parent_path());
        std::ofstream out(golden);
        for (const std::string& line : lines) {
            out << line << '\n';
        }
    }
    const std::vector<std::string> expected = ReadLines(golden.string());
    ASSERT_FALSE(expected.empty()) << "missing " << golden;
    const size_t common = std::min(lines.size(), expected.size());
    for (size_t i = 0; i < common; ++i) {
        ASSERT_EQ(lines[i], expected[i]) << "first difference at line " << i + 1;
    }
    EXPECT_EQ(lines.size(), expected.size());
}

}  // namespace
