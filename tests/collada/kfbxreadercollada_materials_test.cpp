// Effects, materials, images and textures, and their binding to the
// polygons of a mesh.
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include "ColladaTestSupport.h"
#include "ColladaWriterSupport.h"

#include <filesystem>
#include <tuple>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

const std::string kImages =
    "<library_images><image id=\"wood\"><init_from>file:///D|/maps/wood.tga</init_from></image>"
    "<image id=\"sand\"><init_from>./sand.tga</init_from></image></library_images>\n";

// A common profile with a texture that samples the image, in the 1.4.1
// form, where the channels hold "<TEXTURE/>".
std::string SampledEffect(const std::string& id, const std::string& model, const std::string& image,
                          std::string channels, const std::string& textureExtra = "") {
    const std::string texture =
        "<texture texture=\"" + image + "-sampler\" texcoord=\"uv\">" + textureExtra + "</texture>";
    channels.replace(channels.find("<TEXTURE/>"), 10, texture);
    return "<effect id=\"" + id + "\"><profile_COMMON><newparam sid=\"" + image +
           "-surface\"><surface type=\"2D\"><init_from>" + image + "</init_from></surface></newparam><newparam sid=\"" +
           image + "-sampler\"><sampler2D><source>" + image + "-surface</source></sampler2D></newparam>" +
           "<technique sid=\"common\"><" + model + ">" + channels + "</" + model +
           "></technique></profile_COMMON></effect>\n";
}

std::string Effects() {
    return "<library_effects>" +
           SampledEffect("fx-phong", "phong", "wood",
                         "<emission><color>0 0 0 1</color></emission><ambient><color>0.25 0.25 0.25 1</color></ambient>"
                         "<diffuse><TEXTURE/></diffuse><specular><color>0.5 0.5 0.5 1</color></specular>"
                         "<shininess><float>20</float></shininess><reflective><color>1 1 1 1</color></reflective>"
                         "<reflectivity><float>0.5</float></reflectivity><transparent><color>1 1 1 1</color></transparent>"
                         "<transparency><float>0.75</float></transparency>",
                         "<extra><technique profile=\"MAYA\"><wrapU>false</wrapU><wrapV>0</wrapV>"
                         "<blend_mode>ADD</blend_mode></technique></extra>") +
           SampledEffect("fx-lambert", "lambert", "sand",
                         "<ambient><color>2 0.5 0.5 1</color></ambient><diffuse><TEXTURE/></diffuse>"
                         "<reflective><color>1 1 1 1</color></reflective>") +
           SampledEffect("fx-blinn", "blinn", "wood",
                         "<diffuse><TEXTURE/></diffuse><specular><color>0 1 0 1</color></specular>"
                         "<shininess><float>8</float></shininess>") +
           SampledEffect("fx-constant", "constant", "sand",
                         "<emission><TEXTURE/></emission><reflective><color>1 1 1 1</color></reflective>"
                         "<transparency><float>0.5</float></transparency>") +
           "</library_effects>\n";
}

const std::string kMaterials =
    "<library_materials><material id=\"m-phong\"><instance_effect url=\"#fx-phong\"/></material>"
    "<material id=\"m-lambert\"><instance_effect url=\"#fx-lambert\"/></material>"
    "<material id=\"m-blinn\"><instance_effect url=\"#fx-blinn\"/></material>"
    "<material id=\"m-constant\"><instance_effect url=\"#fx-constant\"/></material>"
    "<material id=\"m-phong-2\"><instance_effect url=\"#fx-phong\"/></material></library_materials>\n";

// Five triangles, one primitive element each, one per material.
std::string TexturedMesh() {
    std::string primitives;
    for (const char* material : {"m-phong", "m-lambert", "m-blinn", "m-constant", "m-phong-2"}) {
        primitives += std::string("<triangles count=\"1\" material=\"") + material +
                      "\"><input semantic=\"VERTEX\" source=\"#t-v\" offset=\"0\"/><p>0 1 2</p></triangles>";
    }
    return "<library_geometries><geometry id=\"t\"><mesh>" +
           FloatSource("t-p", "0 0 0 1 0 0 0 1 0", 3, {"X", "Y", "Z"}) +
           "<vertices id=\"t-v\"><input semantic=\"POSITION\" source=\"#t-p\"/></vertices>" + primitives +
           "</mesh></geometry></library_geometries>\n";
}

fbxDouble3 Color(const KFbxProperty& property) { return property.GetDouble3(); }

class ColladaMaterials : public ColladaReadTest {};

}  // namespace

TEST_F(ColladaMaterials, CommonShadingModelsBecomeLambertAndPhongMaterials) {
    ReadValidWithPass(Document(kImages + Effects() + kMaterials + TexturedMesh()));
    auto* phong = Named<KFbxSurfaceMaterial>("m-phong");
    auto* lambert = Named<KFbxSurfaceMaterial>("m-lambert");
    auto* blinn = Named<KFbxSurfaceMaterial>("m-blinn");
    auto* constant = Named<KFbxSurfaceMaterial>("m-constant");
    ASSERT_TRUE(phong && lambert && blinn && constant);
    EXPECT_TRUE(phong->Is(KFbxSurfacePhong::ClassId));
    EXPECT_TRUE(blinn->Is(KFbxSurfacePhong::ClassId));
    EXPECT_TRUE(lambert->Is(KFbxSurfaceLambert::ClassId));
    EXPECT_TRUE(constant->Is(KFbxSurfaceLambert::ClassId));

    auto* p = static_cast<KFbxSurfacePhong*>(phong);
    EXPECT_EQ(Color(p->GetAmbientColor())[0], 0.25);
    EXPECT_EQ(p->GetAmbientFactor().GetDouble(), 1.0);
    EXPECT_EQ(Color(p->GetSpecularColor())[1], 0.5);
    EXPECT_EQ(p->GetShininess().GetDouble(), 20.0);
    EXPECT_EQ(p->GetReflectionFactor().GetDouble(), 0.5);
    // Under the default A_ONE rule a white transparent colour of alpha 1 and
    // transparency 0.75 is 75 % opaque.
    EXPECT_EQ(p->GetTransparencyFactor().GetDouble(), 0.25);
    EXPECT_EQ(Color(p->GetReflectionColor())[2], 1.0);
    auto* b = static_cast<KFbxSurfacePhong*>(blinn);
    EXPECT_EQ(Color(b->GetSpecularColor())[1], 1.0);
    EXPECT_EQ(b->GetReflectionFactor().GetDouble(), 0.0);
    // Lambert and Phong keep colours as written.
    EXPECT_EQ(Color(static_cast<KFbxSurfaceLambert*>(lambert)->GetAmbientColor())[0], 2.0);
    auto* c = static_cast<KFbxSurfaceLambert*>(constant);
    EXPECT_EQ(c->GetTransparencyFactor().GetDouble(), 0.5);
    EXPECT_EQ(c->GetDiffuseFactor().GetDouble(), 0.0);
    EXPECT_EQ(c->GetAmbientFactor().GetDouble(), 0.0);
    // An effect makes no material of its own; its materials are made with
    // its name, then given theirs.
    EXPECT_EQ(Named<KFbxSurfaceMaterial>("fx-phong"), nullptr);
    EXPECT_STREQ(phong->GetNameRecord().GetInitialName(), "fx-phong");
    // Two materials of one effect are two materials alike.
    auto* phong2 = static_cast<KFbxSurfacePhong*>(Named<KFbxSurfaceMaterial>("m-phong-2"));
    ASSERT_NE(phong2, nullptr);
    ASSERT_NE(phong2, p);
    EXPECT_EQ(Color(phong2->GetAmbientColor())[0], 0.25);
    EXPECT_EQ(phong2->GetShininess().GetDouble(), 20.0);
    EXPECT_EQ(phong2->GetTransparencyFactor().GetDouble(), 0.25);
    EXPECT_EQ(phong2->GetReflectionFactor().GetDouble(), 0.5);
    // "reflective" is unsupported for Lambert (twice in the document) and warned of once.
    const std::string message = mMessage.Buffer();
    EXPECT_EQ(message, "Warning: Material parameter not supported: reflective\n");
}

TEST_F(ColladaMaterials, TexturesComeFromSampledImagesWithTheirSettings) {
    ReadValidWithPass(Document(kImages + Effects() + kMaterials + TexturedMesh()));
    std::vector<KFbxTexture*> wood;
    for (KFbxTexture* texture : Objects<KFbxTexture>()) {
        if (std::string(texture->GetName()) == "wood") {
            wood.push_back(texture);
        }
    }
    // The phong's and the blinn's: the image makes no texture of its own.
    ASSERT_EQ(wood.size(), 2u);
    EXPECT_STREQ(wood[0]->GetFileName(), "D:/maps/wood.tga");
    EXPECT_STREQ(wood[1]->GetFileName(), "D:/maps/wood.tga");
    EXPECT_EQ(wood[0]->GetWrapModeU(), KFbxTexture::eCLAMP);
    EXPECT_EQ(wood[0]->GetWrapModeV(), KFbxTexture::eREPEAT);
    EXPECT_EQ(wood[0]->GetBlendMode(), KFbxTexture::eADDITIVE);
    EXPECT_EQ(wood[1]->GetWrapModeU(), KFbxTexture::eREPEAT);
    EXPECT_EQ(wood[1]->GetBlendMode(), KFbxTexture::eTRANSLUCENT);
    KFbxTexture* sand = Named<KFbxTexture>("sand");
    ASSERT_NE(sand, nullptr);
    EXPECT_STREQ(sand->GetFileName(), "sand.tga");
    EXPECT_STREQ(sand->GetRelativeFileName(), "sand.tga");
}

TEST_F(ColladaMaterials, EveryPolygonShowsItsMaterialsTexture) {
    ReadValidWithPass(Document(kImages + Effects() + kMaterials + TexturedMesh()));
    KFbxMesh* mesh = Objects<KFbxMesh>().at(0);
    const KFbxLayerElementTexture* textures = mesh->GetLayer(0)->GetTextures();
    ASSERT_NE(textures, nullptr);
    EXPECT_EQ(textures->GetMappingMode(), KFbxLayerElement::eBY_POLYGON);
    EXPECT_EQ(textures->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);
    // Textures are shared in the element by name: wood, sand.
    ASSERT_EQ(textures->GetDirectArray().GetCount(), 2);
    EXPECT_STREQ(textures->GetDirectArray().GetAt(1)->GetName(), "sand");
    ASSERT_EQ(textures->GetIndexArray().GetCount(), mesh->GetPolygonCount());
    // The second material of the phong effect shows the effect's texture too.
    const int expected[] = {0, 1, 0, -1, 0};
    for (int polygon = 0; polygon < 5; ++polygon) {
        EXPECT_EQ(textures->GetIndexArray().GetAt(polygon), expected[polygon]) << polygon;
    }
    const KFbxLayerElementTexture* emissive =
        mesh->GetLayer(0)->GetTexturesOfChannel(KFbxLayerElement::eEMISSIVE_TEXTURES);
    ASSERT_NE(emissive, nullptr);
    ASSERT_EQ(emissive->GetIndexArray().GetCount(), 5);
    EXPECT_EQ(emissive->GetIndexArray().GetAt(3), 0);
    EXPECT_EQ(emissive->GetIndexArray().GetAt(4), -1);
    EXPECT_EQ(mesh->GetLayer(0)->GetMaterials()->GetIndexArray().GetCount(), 5);
}

TEST_F(ColladaMaterials, OtherShadingModelsGiveAPlainMaterialWithPropertiesOfItsOwn) {
    ASSERT_TRUE(ReadWithPass(Document(
        "<library_effects><effect id=\"toon\"><profile_COMMON><technique sid=\"t\"><Toon>"
        "<diffuse><color>2 0.5 -1 1</color></diffuse><shininess><float>3</float></shininess>"
        "<specular><param ref=\"x\"/></specular><reflective><color>1 1 1 1</color></reflective>"
        "</Toon></technique></profile_COMMON></effect>"
        "<effect id=\"loud\"><profile_COMMON><technique sid=\"t\"><asset/><PHONG/></technique></profile_COMMON>"
        "</effect></library_effects>"
        "<library_materials><material id=\"m\"><instance_effect url=\"#toon\"/></material>"
        "<material id=\"m-loud\"><instance_effect url=\"#loud\"/></material></library_materials>")));
    KFbxSurfaceMaterial* toon = Named<KFbxSurfaceMaterial>("m");
    ASSERT_NE(toon, nullptr);
    EXPECT_FALSE(toon->Is(KFbxSurfaceLambert::ClassId));
    EXPECT_FALSE(toon->Is(KFbxSurfacePhong::ClassId));
    EXPECT_EQ(toon->GetShadingModel().GetString(), "Toon");
    const KFbxProperty diffuse = toon->FindProperty("DiffuseColor");
    ASSERT_TRUE(diffuse.IsValid());
    EXPECT_EQ(diffuse.GetPropertyDataType().GetName(), std::string("Color"));
    EXPECT_EQ(Color(diffuse)[0], 1.0);  // clamped
    EXPECT_EQ(Color(diffuse)[2], 0.0);
    EXPECT_EQ(toon->FindProperty("ShininessExponent").GetDouble(), 3.0);
    EXPECT_FALSE(toon->FindProperty("SpecularColor").IsValid());
    EXPECT_TRUE(MessageHas("Material parameter not supported: reflective"));
    EXPECT_TRUE(Named<KFbxSurfaceMaterial>("m-loud")->Is(KFbxSurfacePhong::ClassId));
}

TEST_F(ColladaMaterials, EffectsWithoutTheCommonProfileGiveADefaultMaterial) {
    ASSERT_TRUE(ReadWithPass(Document("<library_effects><effect id=\"glsl\"><profile_GLSL/></effect></library_effects>"
                              "<library_materials><material id=\"m\"><instance_effect url=\"#glsl\"/></material>"
                              "</library_materials>")));
    EXPECT_TRUE(MessageHas("Warning: no common profile found for library glsl"));
    ASSERT_NE(Named<KFbxSurfaceMaterial>("m"), nullptr);
    EXPECT_TRUE(Named<KFbxSurfaceMaterial>("m")->Is(KFbxSurfaceLambert::ClassId));
}

TEST_F(ColladaMaterials, MaterialsMustReachTheirEffect) {
    const std::string effects =
        "<library_effects><effect id=\"fx\"><profile_COMMON><technique sid=\"t\"><lambert/></technique>"
        "</profile_COMMON></effect></library_effects>";
    EXPECT_FALSE(Read(Document(effects + "<library_materials><material id=\"m\"><instance_effect url=\"#none\"/>"
                                         "</material></library_materials>")));
    EXPECT_TRUE(MessageHas("ERROR: Effect not found: #none"));
    EXPECT_FALSE(Read(Document(effects + "<library_materials><material id=\"m\"><instance_effect url=\"fx\"/>"
                                         "</material></library_materials>")));
    EXPECT_TRUE(MessageHas("ERROR: Effect not found: fx"));
    EXPECT_FALSE(Read(Document(effects + "<library_materials><material id=\"m\"/></library_materials>")));
    EXPECT_TRUE(MessageHas("ERROR: no instance effect found for library m"));
    EXPECT_FALSE(Read(Document("<library_effects><effect id=\"e\"><profile_COMMON><technique sid=\"t\"/>"
                               "</profile_COMMON></effect></library_effects><library_materials/>")));
    EXPECT_TRUE(MessageHas("ERROR: no shading technique found in the common profile of effect e"));
}

TEST_F(ColladaMaterials, ImagePathsAreTakenOutOfTheirUris) {
    // Relative paths are the document's: a file that the working folder does
    // not hold under one is looked for beside the document.
    for (const char* file : {"models/tex/wood.tga", "models/tex/both.tga", "work/tex/both.tga"}) {
        std::filesystem::create_directories((mFolder.Path() / file).parent_path());
        mFolder.Write(file, file);
    }
    std::filesystem::current_path(mFolder.Path() / "work");
    const std::string cwd = std::filesystem::current_path().string();
    const std::string beside = mFolder.Path().string() + "/models/tex/";
    ASSERT_TRUE(ReadWithPass(Document(
        "<library_images>"
        "<image id=\"a\"><init_from>maps/./wood.tga</init_from></image>"
        "<image id=\"b\"><init_from>../maps/x.tga</init_from></image>"
        "<image id=\"c\"><init_from>file:///home/u/my%20map.tga</init_from></image>"
        "<image id=\"d\"><init_from>file://localhost" + cwd + "/maps/y.tga</init_from></image>"
        "<image id=\"e\"><data>00</data></image>"
        "<image id=\"f\"><init_from>./tex/wood.tga</init_from></image>"
        "<image id=\"g\"><init_from>sub/../tex/wood.tga</init_from></image>"
        "<image id=\"h\"><init_from>./tex/both.tga</init_from></image>"
        "<image id=\"i\"><init_from>file://server/share/a%20b/y.tga</init_from></image>"
        "<image id=\"j\"><init_from>file:////server/share/y.tga</init_from></image>"
        "<image id=\"k\"><init_from>file://C|/maps/z.tga</init_from></image>"
        "<image id=\"l\"><init_from>file://tex/wood.tga</init_from></image>"
        "<image id=\"m\"><init_from>file:///" + beside + "wood.tga</init_from></image>"
        "<image id=\"n\"><init_from>FILE://" + beside + "wood.tga</init_from></image>"
        "<image id=\"o\"><init_from>file:" + beside + "wood.tga</init_from></image>"
        "<image id=\"p\"><init_from>File://LocalHost" + beside + "wood.tga</init_from></image>"
        "</library_images><library_effects><effect id=\"fx\"><profile_COMMON><technique sid=\"t\"><lambert>"
        "<diffuse><texture texture=\"e\" texcoord=\"uv\"/></diffuse>"
        "<ambient><texture texture=\"a\" texcoord=\"uv\"><extra><technique profile=\"MAYA\"><blend_mode>MIX"
        "</blend_mode><mirrorU>1</mirrorU><blend_mode>OVER</blend_mode></technique></extra></texture></ambient>"
        "<emission><texture texture=\"b\" texcoord=\"uv\"/><texture texture=\"c\" texcoord=\"uv\"/>"
        "<texture texture=\"d\" texcoord=\"uv\"/><texture texture=\"f\" texcoord=\"uv\"/>"
        "<texture texture=\"g\" texcoord=\"uv\"/><texture texture=\"h\" texcoord=\"uv\"/>"
        "<texture texture=\"i\" texcoord=\"uv\"/><texture texture=\"j\" texcoord=\"uv\"/>"
        "<texture texture=\"k\" texcoord=\"uv\"/><texture texture=\"l\" texcoord=\"uv\"/>"
        "<texture texture=\"m\" texcoord=\"uv\"/><texture texture=\"n\" texcoord=\"uv\"/>"
        "<texture texture=\"o\" texcoord=\"uv\"/><texture texture=\"p\" texcoord=\"uv\"/></emission>"
        "</lambert></technique></profile_COMMON></effect></library_effects><library_materials/>"),
        "models/car.dae"));
    EXPECT_STREQ(Named<KFbxTexture>("a")->GetFileName(), "maps/./wood.tga");
    EXPECT_STREQ(Named<KFbxTexture>("b")->GetFileName(), "../maps/x.tga");
    EXPECT_STREQ(Named<KFbxTexture>("c")->GetFileName(), "/home/u/my map.tga");
    EXPECT_STREQ(Named<KFbxTexture>("d")->GetFileName(), (cwd + "/maps/y.tga").c_str());
    EXPECT_STREQ(Named<KFbxTexture>("d")->GetRelativeFileName(), "maps/y.tga");
    // A URI naming a host names a file of its share, never one of this machine.
    EXPECT_STREQ(Named<KFbxTexture>("i")->GetFileName(), "\\\\server\\share\\a b\\y.tga");
    EXPECT_STREQ(Named<KFbxTexture>("i")->GetRelativeFileName(), "\\\\server\\share\\a b\\y.tga");
    EXPECT_STREQ(Named<KFbxTexture>("j")->GetFileName(), "\\\\server\\share\\y.tga");
    EXPECT_STREQ(Named<KFbxTexture>("k")->GetFileName(), "C:/maps/z.tga");
    // A file URI of this machine, whatever the case of its scheme and host,
    // or with four separators as the system reads the two of a share's name.
    for (const char* id : {"m", "n", "o", "p"}) {
        EXPECT_EQ(Named<KFbxTexture>(id)->GetFileName(), beside + "wood.tga") << id;
    }
    for (const auto& [id, file, relative] : {std::tuple{"f", beside + "wood.tga", "tex/wood.tga"},
                                             std::tuple{"g", beside + "wood.tga", "sub/../tex/wood.tga"},
                                             std::tuple{"h", std::string("tex/both.tga"), "tex/both.tga"},
                                             // A relative path written as a URI's host and path.
                                             std::tuple{"l", beside + "wood.tga", "tex/wood.tga"}}) {
        EXPECT_EQ(Named<KFbxTexture>(id)->GetFileName(), file) << id;
        EXPECT_STREQ(Named<KFbxTexture>(id)->GetRelativeFileName(), relative) << id;
    }
    EXPECT_TRUE(MessageHas("Warning: Image file path maps/./wood.tga does not begin with \"./\", \"file://\" or "
                           "\"file:///\". Some textures might not be loaded."));
    EXPECT_TRUE(MessageHas("Warning: Image e has no input file."));
    EXPECT_TRUE(MessageHas("Warning: Image not found: e"));
    EXPECT_TRUE(MessageHas("Warning: texture blend mode not recognized: MIX"));
    EXPECT_FALSE(MessageHas("OVER"));
    EXPECT_TRUE(MessageHas("Warning: this texture parameter not supported: mirrorU"));
    EXPECT_EQ(Named<KFbxTexture>("e"), nullptr);
}

namespace {

// The scene's opacity of a material read: 1 minus its transparent colour's
// mean times its transparency factor.
double OpacityOf(const KFbxSurfaceMaterial& material) {
    const KFbxProperty color = material.FindProperty("TransparentColor");
    const fbxDouble3 rgb = color.IsValid() ? color.GetDouble3() : fbxDouble3{1.0, 1.0, 1.0};
    return 1.0 - (rgb[0] + rgb[1] + rgb[2]) / 3.0 * material.FindProperty("TransparencyFactor").GetDouble();
}

}  // namespace

// Both "opaque" modes of the schema, as written inline and as other
// programs' documents use them.
TEST_F(ColladaMaterials, TransparencyReadsAsTheSchemasOpaqueModeDefinesIt) {
    struct Case {
        const char* mModel;
        const char* mChannels;
        double mOpacity;
    };
    const Case cases[] = {
        {"phong", "<transparent><color>0 0 0 1</color></transparent><transparency><float>1</float></transparency>", 1.0},
        {"lambert", "<transparent opaque=\"A_ONE\"><color>1 1 1 0.5</color></transparent>", 0.5},
        {"blinn", "<transparent opaque=\"A_ONE\"><color>0 0 0 0.5</color></transparent>"
                  "<transparency><float>0.5</float></transparency>", 0.25},
        {"phong", "<transparent opaque=\"RGB_ZERO\"><color>0.25 0.25 0.25 1</color></transparent>"
                  "<transparency><float>1</float></transparency>", 0.75},
        {"lambert", "<transparent opaque=\"RGB_ZERO\"><color>0 0 0 1</color></transparent>"
                    "<transparency><float>0.5</float></transparency>", 1.0},
        {"constant", "<transparency><float>0.3</float></transparency>", 0.3},
    };
    int index = 0;
    for (const Case& item : cases) {
        SCOPED_TRACE(item.mChannels);
        // Names of their own: the materials of every case stay in the manager.
        const std::string id = "m" + std::to_string(index++);
        ReadValidWithPass(Document("<library_effects><effect id=\"" + id + "-fx\"><profile_COMMON><technique sid=\"t\"><" +
                                   item.mModel + ">" + item.mChannels + "</" + item.mModel +
                                   "></technique></profile_COMMON></effect></library_effects><library_materials>"
                                   "<material id=\"" + id + "\"><instance_effect url=\"#" + id + "-fx\"/></material>"
                                   "</library_materials>"));
        const auto* material = Named<KFbxSurfaceMaterial>(id.c_str());
        ASSERT_NE(material, nullptr);
        EXPECT_NEAR(OpacityOf(*material), item.mOpacity, 1e-6);
    }
    if (!CommandExists("assimp")) {
        return;
    }
    for (const char* model : {"cube_with_2UVs.DAE", "kwxport_test_vcolors.dae", "teapot_instancenodes.DAE"}) {
        const std::string path = std::string("/usr/share/assimp/models/Collada/") + model;
        if (!std::filesystem::exists(path)) {
            continue;
        }
        SCOPED_TRACE(model);
        KFbxScene* scene = KFbxScene::Create(mManager, "");
        ASSERT_TRUE(ReadFile(path, scene)) << mMessage.Buffer();
        const AssimpMaterialMap theirs = AssimpMaterials(path, mFolder / "dump.assxml");
        int compared = 0;
        for (const KFbxSurfaceMaterial* material : Objects<KFbxSurfaceMaterial>()) {
            const auto found = theirs.find(material->GetName());
            if (found != theirs.end() && found->second.count("$mat.opacity") != 0) {
                EXPECT_NEAR(OpacityOf(*material), std::atof(found->second.at("$mat.opacity").c_str()), 1e-5)
                    << material->GetName();
                ++compared;
            }
        }
        EXPECT_GT(compared, 0);
    }
}
