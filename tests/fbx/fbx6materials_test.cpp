// Material, texture and video records as the FBX 6 writer stores them.
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxImageBuffer.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace fbxsdk_2006_11_1::fbx6test {
namespace {

constexpr const char* kDerived[] = {"Emissive", "Ambient", "Diffuse", "Specular", "Shininess", "Opacity",
                                    "Reflectivity"};

void SetColor(KFbxProperty property, double r, double g, double b) {
    const fbxDouble3 value(r, g, b);
    property.Set(&value, eFbxValueDouble3);
}

void SetNumber(KFbxProperty property, double value) { property.Set(&value, eFbxValueDouble); }

// Image conversions: one gives a 2 x 1 image with pixels, one an image
// without any.
int ConvertToPixels(int, const KString&, KFbxImageBuffer* image) {
    image->Init(2, 1, true, KFbxImageBuffer::eRGB, 3);
    for (int i = 0; i < 6; ++i) image->GetData()[i] = static_cast<unsigned char>(i * 40);
    return 0;
}

int ConvertToNothing(int, const KString&, KFbxImageBuffer* image) {
    image->Init(2, 1, false, KFbxImageBuffer::eRGB, 3);
    return 0;
}

class Fbx6MaterialsTest : public Fbx6WriterTest {
protected:
    // The first value of each "Property" of the top-level property block, as a double.
    std::map<std::string, double> ReadNumberProperties() {
        std::map<std::string, double> values;
        KFbx file;
        if (!Open(file) || !file.FieldReadBegin("Properties60") || !file.FieldReadBlockBegin()) return values;
        while (file.FieldReadBegin("Property")) {
            const std::string name = file.FieldReadS().Buffer();
            file.FieldReadS();
            file.FieldReadS();
            if (file.FieldGetRemainingValueCount() > 0 && file.FieldGetValueType() != 'S') {
                values[name] = file.FieldReadD();
            }
            file.FieldReadEnd();
        }
        return values;
    }

    // The bytes of the top-level "Content" field of the file last written;
    // "(none)" without one.
    std::string ReadContent() {
        KFbx file;
        if (!Open(file) || !file.FieldReadBegin("Content")) return "(none)";
        int size = 0;
        const auto* bytes = static_cast<const char*>(file.FieldReadR(&size));
        return bytes != nullptr ? std::string(bytes, static_cast<std::size_t>(size)) : "(none)";
    }

    std::string MediaFile(const std::string& bytes) { return mFolder.Write("wood.png", bytes); }

    // A converter of ".raw" files through the function; the path of such a
    // file, made in the scratch folder.
    KString ConvertibleFile(KFbxImageConvertFn function) {
        KFbxImageConverter* converter = KFbxImageConverter::Create(mManager, "converter");
        EXPECT_NE(converter, nullptr);
        if (converter != nullptr) converter->AddConversionFunction("raw", function);
        return KString(mFolder.Write("picture.raw", "original bytes").c_str());
    }
};

TEST_F(Fbx6MaterialsTest, PhongRecordGoldenAndDerivedChannelsLeaveNoTrace) {
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "Shiny");
    SetColor(phong->GetDiffuseColor(), 1, 0.5, 0.25);
    SetNumber(phong->GetDiffuseFactor(), 0.5);
    SetColor(phong->GetSpecularColor(), 1, 1, 1);
    SetNumber(phong->GetSpecularFactor(), 0.25);
    SetNumber(phong->GetShininess(), 20);
    SetColor(phong->GetReflectionColor(), 1, 1, 1);
    SetNumber(phong->GetReflectionFactor(), 0.5);
    const int before = phong->GetPropertyCount();
    ExpectGolden(WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteMaterial(*phong)); }),
                 "fbx6_material_phong");

    EXPECT_EQ(phong->GetPropertyCount(), before);
    for (const char* name : kDerived) EXPECT_FALSE(phong->FindProperty(name).IsValid()) << name;
    const std::map<std::string, double> values = ReadNumberProperties();
    ASSERT_EQ(values.count("Reflectivity"), 1u);
    EXPECT_NEAR(values.at("Reflectivity"), 0.25, 1e-12);
    EXPECT_NEAR(values.at("Shininess"), 20.0, 1e-12);
}

TEST_F(Fbx6MaterialsTest, LambertGetsOpacityButNoPhongChannels) {
    KFbxSurfaceLambert* lambert = KFbxSurfaceLambert::Create(mManager, "Matte");
    SetColor(lambert->GetTransparentColor(), 0.2, 0.4, 0.6);
    SetNumber(lambert->GetTransparencyFactor(), 0.5);
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteMaterial(*lambert); });
    EXPECT_NE(text.find("ShadingModel: \"lambert\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"Emissive\""), std::string::npos);
    EXPECT_EQ(text.find("\"Specular\""), std::string::npos);
    EXPECT_EQ(text.find("\"Reflectivity\""), std::string::npos);
    const std::map<std::string, double> values = ReadNumberProperties();
    ASSERT_EQ(values.count("Opacity"), 1u);
    EXPECT_NEAR(values.at("Opacity"), 0.8, 1e-12);
}

TEST_F(Fbx6MaterialsTest, PlainMaterialGetsNoDerivedChannelsAndOwnPropertiesStay) {
    KFbxSurfaceMaterial* plain = KFbxSurfaceMaterial::Create(mManager, "Plain");
    std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteMaterial(*plain); });
    for (const char* name : kDerived) EXPECT_EQ(text.find(std::string("\"") + name + "\""), std::string::npos) << name;

    // A property the user gave a derived name keeps its value and survives the write.
    KFbxSurfaceLambert* lambert = KFbxSurfaceLambert::Create(mManager, "Own");
    KFbxProperty own = KFbxProperty::Create(lambert, "Opacity", gKFbxDataTypeNumber, "");
    SetNumber(own, 0.125);
    WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteMaterial(*lambert); });
    ASSERT_TRUE(lambert->FindProperty("Opacity").IsValid());
    EXPECT_EQ(lambert->FindProperty("Opacity").GetDouble(), 0.125);
    EXPECT_FALSE(lambert->FindProperty("Ambient").IsValid());
}

TEST_F(Fbx6MaterialsTest, TextureRecordGolden) {
    KFbxTexture* texture = KFbxTexture::Create(mManager, "Wood");
    // An absolute file is named from the written file's folder, whatever
    // the scene's relative name.
    const std::string folder = mFolder.Path().string();
    texture->SetFileName((folder + "/maps/wood.png").c_str());
    texture->SetRelativeFileName("wood.png");
    texture->SetMediaName("Texture::wood");
    texture->SetUVTranslation(KFbxVector2(0.5, 0.25));
    texture->SetUVScaling(KFbxVector2(2, 3));
    texture->SetCropping(1, 2, 3, 4);
    std::string golden = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteTexture(*texture); });
    golden.replace(golden.find(folder), folder.size(), "<folder>");
    ExpectGolden(golden, "fbx6_texture");

    texture->SetAlphaSource(KFbxTexture::eBLACK);
    texture->SetMediaName("");
    std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteTexture(*texture); });
    EXPECT_NE(text.find("Texture_Alpha_Source: \"Alpha_Black\""), std::string::npos);
    EXPECT_NE(text.find("Media: \"\""), std::string::npos);
    texture->SetAlphaSource(KFbxTexture::eRGB_INTENSITY);
    text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteTexture(*texture); });
    EXPECT_NE(text.find("Texture_Alpha_Source: \"RGB_Intensity\""), std::string::npos);
}

TEST_F(Fbx6MaterialsTest, AsciiVideoHoldsNoContent) {
    KFbxVideo* video = KFbxVideo::Create(mManager, "wood");
    KString name(MediaFile("pixels").c_str());
    bool temporary = true;
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) {
        EXPECT_TRUE(writer.WriteVideo(*video, name, temporary, false));
    });
    EXPECT_FALSE(temporary);
    for (const char* field : {"Version:", "OriginalFormat", "OriginalFilename", "Content"}) {
        EXPECT_EQ(text.find(field), std::string::npos) << field;
    }
    EXPECT_NE(text.find("Type: \"Clip\""), std::string::npos);
    EXPECT_NE(text.find(std::string("Filename: \"") + name.Buffer() + "\""), std::string::npos);
    EXPECT_NE(text.find("RelativeFilename: "), std::string::npos);
    // The names are the file's: the video keeps those it had.
    EXPECT_EQ(video->GetFileName(), nullptr);
    EXPECT_STREQ(video->GetRelativeFileName(), "");
}

TEST_F(Fbx6MaterialsTest, BinaryVideoEmbedsTheMediaBytes) {
    KFbxVideo* video = KFbxVideo::Create(mManager, "wood");
    KString name(MediaFile("pixels").c_str());
    bool temporary = true;
    Write([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteVideo(*video, name, temporary, true)); }, true);
    KFbx file;
    ASSERT_TRUE(Open(file));
    EXPECT_EQ(file.FieldReadIDefault("Version", 0), 101);
    EXPECT_EQ(file.FieldReadIDefault("OriginalFormat", 0), 1);
    EXPECT_STREQ(file.FieldReadSDefault("OriginalFilename", "").Buffer(), name.Buffer());
    EXPECT_EQ(ReadContent(), "pixels");
}

TEST_F(Fbx6MaterialsTest, MissingMediaFileFailsTheEmbedding) {
    KFbxVideo* video = KFbxVideo::Create(mManager, "gone");
    KString name((mFolder / "gone.png").c_str());
    bool temporary = false;
    Write([&](KFbxWriterFbx6& writer) { EXPECT_FALSE(writer.WriteVideo(*video, name, temporary, true)); }, true);
}

// Converted images are embedded from a TIFF file of the writer's own: the
// user's media file is neither overwritten nor removed, and the caller has
// no temporary file to remove.
TEST_F(Fbx6MaterialsTest, ConvertedImageIsEmbeddedFromAFileOfItsOwn) {
    KString name = ConvertibleFile(&ConvertToPixels);
    KFbxVideo* video = KFbxVideo::Create(mManager, "picture");
    bool temporary = true;
    Write([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteVideo(*video, name, temporary, true)); }, true);
    EXPECT_FALSE(temporary);
    EXPECT_EQ(mFolder.Read("picture.raw"), "original bytes");
    const std::string content = ReadContent();
    EXPECT_TRUE(content.rfind("II", 0) == 0 || content.rfind("MM", 0) == 0) << content;  // a TIFF file
}

TEST_F(Fbx6MaterialsTest, ConvertedImageWithoutPixelsEmbedsTheOriginal) {
    KString name = ConvertibleFile(&ConvertToNothing);
    KFbxVideo* video = KFbxVideo::Create(mManager, "picture");
    bool temporary = true;
    Write([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteVideo(*video, name, temporary, true)); }, true);
    EXPECT_EQ(ReadContent(), "original bytes");
}

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : mName(name) {
        const char* old = std::getenv(name);
        mHad = old != nullptr;
        if (mHad) mOld = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (mHad) {
            setenv(mName, mOld.c_str(), 1);
        } else {
            unsetenv(mName);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* mName;
    bool mHad = false;
    std::string mOld;
};

TEST_F(Fbx6MaterialsTest, ConvertedImageThatCannotBeStoredIsAnError) {
    KString name = ConvertibleFile(&ConvertToPixels);
    KFbxVideo* video = KFbxVideo::Create(mManager, "picture");
    bool temporary = true;
    std::string text;
    {
        // No temporary folder to convert into.
        const ScopedEnvironment noTemporaryFolder("TMPDIR", mFolder / "missing");
        text = Write([&](KFbxWriterFbx6& writer) { EXPECT_FALSE(writer.WriteVideo(*video, name, temporary, true)); },
                     true);
    }
    EXPECT_EQ(mWriter->GetLastErrorID(), KFbxWriter::eUNIDENTIFIED_ERROR);
    EXPECT_EQ(text.find("Content"), std::string::npos);
    EXPECT_EQ(mFolder.Read("picture.raw"), "original bytes");
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx6test
