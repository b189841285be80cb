// The sections of FBX 5 files around the models: takes, gobos, poses and
// scene information, characters as constraints, the camera and time
// settings, and the media; the texture, material and texture layer records.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>

#include "Fbx5WriterSupport.h"
#include "RichScene.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::fbx5test {
namespace {

using richscene::Seconds;

class Fbx5SectionsTest : public Fbx5WriterTest {
protected:
    // Keys at 1 s and 3 s on the object's channel in the take, with the
    // take on the root too.
    void Animate(KFbxTakeNodeContainer& object, const char* take, const char* channel = nullptr) {
        mScene->GetRootNode()->CreateTakeNode(take);
        KFbxTakeNode* takeNode = object.CreateTakeNode(take);
        ASSERT_NE(takeNode, nullptr);
        KFCurve* curve = nullptr;
        if (channel != nullptr) {
            KFCurveNode* node = KFCurveNode::Create(channel, nullptr);
            node->FCurveSet(KFCurve::Create());
            takeNode->GetKFCurveNode()->Add(node);
            curve = node->FCurveGet();
        } else {
            curve = takeNode->GetTranslationX();
        }
        ASSERT_NE(curve, nullptr);
        curve->KeySet(0, Seconds(1.0), 0.5f, KFCURVE_INTERPOLATION_LINEAR);
        curve->KeySet(1, Seconds(3.0), 2.0f, KFCURVE_INTERPOLATION_LINEAR);
    }

    KFbxLight* AddLight(const char* name, const char* gobo, bool volumetric) {
        KFbxLight* light = KFbxLight::Create(mManager, "");
        if (gobo != nullptr) light->SetFileName(gobo);
        light->SetDrawVolumetricLight(volumetric);
        AddNode(name)->SetNodeAttribute(light);
        return light;
    }

    // The text with the scratch folder, as file paths hold it, named <folder>.
    std::string WithoutFolder(std::string text) const {
        const std::string folder = KFbxCleanPath(KString(mFolder.Path().string().c_str())).Buffer();
        std::string escaped;
        for (char c : folder) escaped += c == '\\' ? std::string(2, c) : std::string(1, c);
        for (const std::string& form : {escaped, folder, mFolder.Path().string()}) {
            for (std::size_t at = text.find(form); at != std::string::npos; at = text.find(form, at)) {
                text.replace(at, form.size(), "<folder>");
            }
        }
        return text;
    }

    KFbxTexture* AddTexture(KFbxNode* node, const char* name, const std::string& file) {
        KFbxTexture* texture = KFbxTexture::Create(mManager, name);
        if (!file.empty()) texture->SetFileName(file.c_str());
        node->ConnectSrc(texture);
        return texture;
    }
};

// ---- takes ----

TEST_F(Fbx5SectionsTest, TakesHoldModelsInTreeOrderThenTexturesThenMaterials) {
    KFbxNode* a = AddNode("A");
    KFbxNode* b = AddNode("B", a);
    KFbxNode* c = AddNode("C");
    KFbxTexture* texture = AddTexture(c, "Sand", "");
    KFbxSurfacePhong* material = KFbxSurfacePhong::Create(mManager, "Glass");
    c->ConnectSrc(material);
    Animate(*b, "Walk");
    Animate(*c, "Walk");
    Animate(*texture, "Walk", "Alpha");
    Animate(*material, "Walk", "Shininess");
    a->CreateTakeNode("Walk");
    const std::string takes = RecordText(Records(), "Takes:");
    ExpectGolden(takes, "fbx5_takes");
    EXPECT_LT(takes.find("Model::A"), takes.find("Model::B"));
    EXPECT_LT(takes.find("Model::B"), takes.find("Model::C"));
    EXPECT_LT(takes.find("Texture::Sand"), takes.find("Material::Glass"));
    // The shininess keys stand a hundred times larger and stay as they were.
    EXPECT_EQ(material->GetTakeNode(1)->GetMaterialShininess()->KeyGetValue(1), 2.0f);
}

TEST_F(Fbx5SectionsTest, ATakeNameBecomesAFileNameAndOnlyDefaultWritesNoTake) {
    EXPECT_EQ(RecordText(Records(), "Takes:"), "Takes:  {\n\tCurrent: \"\"\n}\n");
    KFbxNode* node = AddNode("Node");
    Animate(*node, "Run  to\tdoor");
    EXPECT_NE(Records().find("FileName: \"Run__to_door.tak\""), std::string::npos);
}

// ---- gobos ----

TEST_F(Fbx5SectionsTest, EqualGobosShareOneRecordAndLightsWithoutOneHaveNone) {
    AddLight("First", "spots.tga", true);
    AddLight("Plain", nullptr, true);
    AddLight("Second", "spots.tga", true);
    AddLight("Third", "spots.tga", false);
    ExpectGolden(RecordText(Records(), "GoboManager:"), "fbx5_gobos");
}

// ---- poses, scene information, characters ----

TEST_F(Fbx5SectionsTest, GenericPersistenceOnlyWithPosesOrSceneInformation) {
    EXPECT_EQ(Records().find("SceneGenericPersistence:"), std::string::npos);
    KFbxPose* bind = KFbxPose::Create(mManager, "Bind");
    bind->SetIsBindPose(true);
    mScene->ConnectObject(bind);
    KFbxPose* rest = KFbxPose::Create(mManager, "Rest");
    mScene->ConnectObject(rest);
    const std::string persistence = RecordText(Records(), "SceneGenericPersistence:");
    EXPECT_NE(persistence.find("\tPose: \"Pose::Bind\" {\n\t\tType: \"BindPose\"\n"), std::string::npos)
        << persistence;
    EXPECT_NE(persistence.find("\tPose: \"Pose::Rest\" {\n\t\tType: \"RestPose\"\n"), std::string::npos);
}

TEST_F(Fbx5SectionsTest, ASixtyFourPixelThumbnailHoldsAValuePerByte) {
    KFbxSceneInfo* info = KFbxSceneInfo::Create(mManager, "info");
    KFbxThumbnail* thumbnail = KFbxThumbnail::Create(mManager, "");
    thumbnail->SetDataFormat(KFbxThumbnail::eRGB_24);
    thumbnail->SetSize(KFbxThumbnail::e64x64);
    info->SetSceneThumbnail(thumbnail);
    mScene->SetSceneInfo(info);
    ASSERT_TRUE(WriteFile(Path(), true));
    KFbx file;
    ASSERT_TRUE(file.FileOpen(Path().c_str()));
    ASSERT_TRUE(file.FieldReadBegin("SceneGenericPersistence"));
    ASSERT_TRUE(file.FieldReadBlockBegin());
    ASSERT_TRUE(file.FieldReadBegin("SceneInfo"));
    ASSERT_TRUE(file.FieldReadBlockBegin());
    ASSERT_TRUE(file.FieldReadBegin("Thumbnail"));
    ASSERT_TRUE(file.FieldReadBlockBegin());
    EXPECT_EQ(file.FieldReadIDefault("Size", 0), 64);
    ASSERT_TRUE(file.FieldReadBegin("ImageData"));
    EXPECT_EQ(file.FieldGetRemainingValueCount(), 12288);
}

TEST_F(Fbx5SectionsTest, CharactersAreTheConstraintsOfTheFile) {
    EXPECT_EQ(Records().find("Constraints:"), std::string::npos);
    mScene->CreateCharacter("Hero");
    mScene->CreateCharacter("Villain");
    const std::string records = Records();
    ExpectGolden(RecordText(records, "Constraints:"), "fbx5_constraints");
    mOptions->SetOption("CHARACTER", false);
    const std::string without = Records();
    EXPECT_EQ(without.find("Constraints:"), std::string::npos);
    EXPECT_EQ(without.find("CHARACTER:"), std::string::npos);
}

// ---- settings ----

TEST_F(Fbx5SectionsTest, SettingsListTheTimeMarkersAndShadowPlanesOnlyWhenThereAreSome) {
    KFbxGlobalTimeSettings& time = mScene->GetGlobalTimeSettings();
    KFbxTimeMarker marker;
    marker.mName = "Jump";
    marker.mTime = Seconds(2.0);
    marker.mLoop = true;
    time.AddTimeMarker(marker);
    time.SetCurrentTimeMarker(0);
    const std::string records = Records();
    const std::string settings = RecordText(records, "Settings:");
    const std::size_t tail = settings.find("\tTimeMode:");
    ASSERT_NE(tail, std::string::npos);
    EXPECT_EQ(settings.substr(tail),
              "\tTimeMode: 3\n\tFrameRate: \"30\"\n\tTimeFormat: 1\n\tSnapOnFrames: 0\n\tReferenceTimeIndex: 0\n"
              "\tTimeMarker: \"Jump\" {\n\t\tTime: 92372316000\n\t\tLoop: 1\n\t}\n}\n");
    EXPECT_EQ(records.find("ShadowPlanes:"), std::string::npos);
    // Siblings at the top level, the renderer's first.
    EXPECT_LT(records.find("\nRendererSetting:  {"), records.find("\nSettings:  {"));
}

// ---- media ----

TEST_F(Fbx5SectionsTest, MediaFilesAreNamedOnceEach) {
    // Media are named relative to the written file, whatever relative name
    // the scene gives them.
    const std::string folder = mFolder.Path().string() + "/";
    KFbxNode* node = AddNode("Wall");
    KFbxTexture* first = AddTexture(node, "Bricks", folder + "bricks.tga");
    KFbxTexture* second = AddTexture(node, "MoreBricks", folder + "./bricks.tga");
    KFbxTexture* other = AddTexture(node, "OtherBricks", folder + "bricks.png");
    other->SetRelativeFileName("textures/bricks.png");
    KFbxTexture* none = AddTexture(node, "Plain", "");
    KFbxCamera* camera = KFbxCamera::Create(mManager, "");
    camera->SetBackgroundFileName((folder + "sky.tga").c_str());
    AddNode("Eye")->SetNodeAttribute(camera);
    none->SetMediaName("stale");
    // A texture only a layer knows still needs its media.
    KFbxTexture* layered = KFbxTexture::Create(mManager, "Layered");
    layered->SetFileName((folder + "sand.tga").c_str());
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    mesh->CreateLayer();
    auto* textures = new KFbxLayerElementTexture("textures");
    textures->SetMappingMode(KFbxLayerElement::eALL_SAME);
    textures->GetDirectArray().Add(layered);
    textures->GetIndexArray().Add(0);
    mesh->GetLayer(0)->SetTextures(textures);
    AddNode("Ground")->SetNodeAttribute(mesh);

    const std::string records = WriteWith([&](KFbxWriterFbx& writer) {
        int count = -1;
        EXPECT_TRUE(writer.WriteMedia(*mScene, false, count));
        EXPECT_EQ(count, 4);
        EXPECT_STREQ(writer.GetMediaName(*layered), "sand");
        EXPECT_STREQ(writer.GetMediaName(*first), "bricks");
        EXPECT_STREQ(writer.GetMediaName(*second), "bricks");
        EXPECT_STREQ(writer.GetMediaName(*other), "bricks1");
        EXPECT_STREQ(writer.GetMediaName(*none), "");
        EXPECT_STREQ(writer.GetBackgroundMediaName(*camera), "sky.tga");
    });
    // The scene keeps its own media names.
    EXPECT_STREQ(none->GetMediaName(), "stale");
    EXPECT_STREQ(first->GetMediaName(), "");
    ExpectGolden(WithoutFolder(records), "fbx5_media");
}

TEST_F(Fbx5SectionsTest, EmbeddedContentOnlyInBinaryFiles) {
    const std::string image = (mFolder.Path() / "bricks.tga").string();
    std::ofstream(image, std::ios::binary) << "pixels";
    AddTexture(AddNode("Wall"), "Bricks", image);
    mOptions->SetOption("EMBEDDED", true);
    const std::string media = RecordText(Records(), "Media:");
    EXPECT_EQ(media.find("Content"), std::string::npos);
    EXPECT_EQ(media.find("OriginalFilename"), std::string::npos);

    ASSERT_TRUE(WriteFile(Path(), true));
    KFbx file;
    ASSERT_TRUE(file.FileOpen(Path().c_str()));
    ASSERT_TRUE(file.FieldReadBegin("Media") && file.FieldReadBlockBegin());
    ASSERT_TRUE(file.FieldReadBegin("Video") && file.FieldReadBlockBegin());
    ASSERT_TRUE(file.FieldReadBegin("Video"));
    EXPECT_EQ(file.FieldReadS(), KString("bricks"));
    ASSERT_TRUE(file.FieldReadBlockBegin());
    EXPECT_EQ(file.FieldReadIDefault("Version", 0), 101);
    ASSERT_TRUE(file.FieldReadBegin("Content"));
    int size = 0;
    const void* bytes = file.FieldReadR(&size);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size)), "pixels");
}

// ---- textures and materials ----

TEST_F(Fbx5SectionsTest, ATextureRecordSaysItsValuesInWords) {
    KFbxTexture* texture = AddTexture(AddNode("Wall"), "Bricks", "bricks.tga");
    texture->SetTranslation(KFbxVector4(1.0, 2.0, 3.0, 0.0));
    texture->SetScale(KFbxVector4(0.5, 0.25, 1.0, 0.0));
    texture->SetRotation(KFbxVector4(10.0, 20.0, 30.0, 0.0));
    texture->SetUVTranslation(KFbxVector2(0.125, 0.375));
    texture->SetAlphaSource(KFbxTexture::eRGB_INTENSITY);
    texture->SetCropping(1, 2, 3, 4);
    texture->SetMappingType(KFbxTexture::ePLANAR);
    texture->SetPlanarMappingNormal(KFbxTexture::ePLANAR_NORMAL_Z);
    texture->SetTextureUse(KFbxTexture::eLIGHT_MAP);
    texture->SetWrapMode(KFbxTexture::eCLAMP, KFbxTexture::eREPEAT);
    texture->SetBlendMode(KFbxTexture::eMODULATE);
    Animate(*texture, "Walk", "Alpha");
    KFbxTexture* odd = AddTexture(AddNode("Floor"), "Odd", "odd.tga");
    odd->SetMappingType(KFbxTexture::eUV);
    odd->SetTextureUse(static_cast<KFbxTexture::ETextureUse>(7));
    // Keys in the default take alone do not make a channel animated.
    KFCurveNode* alpha = KFCurveNode::Create("Alpha", nullptr);
    alpha->FCurveSet(KFCurve::Create());
    odd->GetDefaultTakeNode()->GetKFCurveNode()->Add(alpha);
    alpha->FCurveGet()->KeySet(0, Seconds(1.0), 0.5f, KFCURVE_INTERPOLATION_LINEAR);
    const std::string records = WriteWith([&](KFbxWriterFbx& writer) {
        writer.CollectAnimatedChannels(*mScene);
        EXPECT_TRUE(writer.WriteTexture(*texture));
        EXPECT_TRUE(writer.WriteTexture(*odd));
    });
    ExpectGolden(records, "fbx5_textures");
}

TEST_F(Fbx5SectionsTest, MaterialValuesComeFromColoursTimesFactors) {
    KFbxSurfaceLambert* lambert = KFbxSurfaceLambert::Create(mManager, "Matte");
    const double transparent[3] = {0.3, 0.3, 0.3};
    lambert->GetTransparentColor().Set(transparent, eFbxValueDouble3);
    const double one = 1.0;
    lambert->GetTransparencyFactor().Set(&one, eFbxValueDouble);
    const KFbxWriterFbx::Fbx5MaterialValues matte = KFbxWriterFbx::GetFbx5MaterialValues(*lambert);
    EXPECT_NEAR(matte.mAlpha, 0.7, 1e-12);
    EXPECT_EQ(matte.mSpecular[0], 0.0);
    EXPECT_EQ(matte.mShininess, 0.0);
    EXPECT_EQ(matte.mReflectivity, 0.0);

    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "Metal");
    const double diffuse[3] = {0.5, 0.25, 1.0};
    phong->GetDiffuseColor().Set(diffuse, eFbxValueDouble3);
    const double half = 0.5;
    phong->GetDiffuseFactor().Set(&half, eFbxValueDouble);
    phong->GetReflectionFactor().Set(&half, eFbxValueDouble);
    const KFbxWriterFbx::Fbx5MaterialValues metal = KFbxWriterFbx::GetFbx5MaterialValues(*phong);
    EXPECT_EQ(metal.mDiffuse[0], 0.25);
    EXPECT_EQ(metal.mDiffuse[2], 0.5);
    EXPECT_EQ(metal.mShininess, 20.0);
    EXPECT_EQ(metal.mReflectivity, 0.5);

    // Another kind of material: what it holds under the names counts.
    KFbxSurfaceMaterial* custom = KFbxSurfaceMaterial::Create(mManager, "Custom");
    KFbxProperty factor = KFbxProperty::Create(custom, "TransparencyFactor", gKFbxDataTypeNumber, "");
    const double quarter = 0.25;
    factor.Set(&quarter, eFbxValueDouble);
    const KFbxWriterFbx::Fbx5MaterialValues bare = KFbxWriterFbx::GetFbx5MaterialValues(*custom);
    EXPECT_EQ(bare.mAlpha, 0.75);
    EXPECT_EQ(bare.mAmbient[0], 0.0);

    Animate(*phong, "Walk", "Shininess");
    AddNode("Holder")->ConnectSrc(phong);
    const std::string records = WriteWith([&](KFbxWriterFbx& writer) {
        writer.CollectAnimatedChannels(*mScene);
        EXPECT_TRUE(writer.WriteMaterial(*phong));
        EXPECT_TRUE(writer.WriteMaterial(*custom));
    });
    ExpectGolden(records, "fbx5_materials");
}

TEST_F(Fbx5SectionsTest, PropertyTypeSuffixesAreCut) {
    EXPECT_EQ(KFbxWriterFbx::StripPropertyTypeSuffix("Speed (Real)"), KString("Speed"));
    EXPECT_EQ(KFbxWriterFbx::StripPropertyTypeSuffix("Tint (Color) (Vector)"), KString("Tint (Color)"));
    EXPECT_EQ(KFbxWriterFbx::StripPropertyTypeSuffix("Mode (Enum)"), KString("Mode (Enum)"));
    EXPECT_EQ(KFbxWriterFbx::StripPropertyTypeSuffix(" (Bool)"), KString(""));
    EXPECT_EQ(KFbxWriterFbx::StripPropertyTypeSuffix(nullptr), KString(""));
}

// ---- texture layers ----

TEST_F(Fbx5SectionsTest, TextureLayersAboveTheFirstAreDescribedWithoutChangingTheScene) {
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    AddNode("Body")->SetNodeAttribute(mesh);
    KFbxTexture* sand = KFbxTexture::Create(mManager, "Sand");
    while (mesh->GetLayerCount() < 4) mesh->CreateLayer();
    // Layer 0 is the mesh's own; layer 2 maps by polygon, with an index
    // past its one texture and one for none; layer 3 maps all alike with
    // two indices, which the file cannot say.
    const std::vector<std::vector<int>> indices = {{0}, {0}, {0, 5, -1, 0, 0, 0, 0}, {0, 0}};
    for (int l = 0; l < 4; ++l) {
        auto* textures = new KFbxLayerElementTexture("textures");
        textures->SetMappingMode(l == 2 ? KFbxLayerElement::eBY_POLYGON : KFbxLayerElement::eALL_SAME);
        textures->GetDirectArray().Add(sand);
        for (int index : indices[static_cast<std::size_t>(l)]) textures->GetIndexArray().Add(index);
        mesh->GetLayer(l)->SetTextures(textures);
    }
    // Layer 1's UVs by control point with an index past its two UVs (but not
    // past its eight indices); layer 2's by polygon vertex with too few
    // items: no mapping in the file.
    auto* uvs = new KFbxLayerElementUV("map");
    uvs->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    uvs->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    uvs->GetDirectArray().Add(KFbxVector2(0.25, 0.5));
    uvs->GetDirectArray().Add(KFbxVector2(0.75, 1.0));
    for (int i = 0; i < 8; ++i) uvs->GetIndexArray().Add(i == 3 ? 5 : i % 2);
    mesh->GetLayer(1)->SetUVs(uvs);
    auto* tooFew = new KFbxLayerElementUV("short");
    tooFew->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
    tooFew->GetDirectArray().Add(KFbxVector2(0.0, 0.0));
    mesh->GetLayer(2)->SetUVs(tooFew);

    bool written = true;
    const std::string records = WriteWith([&](KFbxWriterFbx& writer) { written = writer.WriteGeometryLayers(*mesh); });
    EXPECT_FALSE(written);
    ExpectGolden(records, "fbx5_geometry_layers");
    EXPECT_EQ(tooFew->GetMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx5test
