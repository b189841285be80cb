// What the FBX 6 import does beyond reading records back: user-data layer
// elements and the scene thumbnail, the import filters over the take curves
// (rotation unroll, constant key reducer, time offset, layered channel
// bake) and the reconciliation of skeleton inherit types.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFileHeaderInfo.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxImageBuffer.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>

#include "ReaderTestSupport.h"
#include "RichScene.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fbxsdk_2006_11_1::readertest {
namespace {

using richscene::AddNode;
using richscene::Seconds;

KFbxMesh* AddQuad(KFbxSdkManager* manager, KFbxScene& scene) {
    KFbxMesh* mesh = KFbxMesh::Create(manager, "");
    mesh->InitControlPoints(4);
    for (int i = 0; i < 4; ++i) {
        mesh->GetControlPoints()[i] = KFbxVector4(i % 2, i / 2, 0.0, 0.0);
    }
    mesh->BeginPolygon();
    for (int i : {0, 1, 3, 2}) {
        mesh->AddPolygonVertex(i);
    }
    mesh->EndPolygon();
    AddNode(manager, scene.GetRootNode(), "Quad", mesh);
    return mesh;
}

template <class T>
void SetItems(KFbxLayerElementUserData& element, int channel, std::initializer_list<T> values) {
    DynamicArray* items = element.GetDirectArrayVoid(channel);
    ASSERT_NE(items, nullptr);
    ASSERT_TRUE(items->SetCount(static_cast<int>(values.size())));
    int i = 0;
    for (T value : values) {
        std::memcpy(items->GetItemAt(i++), &value, sizeof value);
    }
}

template <class T>
std::vector<T> Items(const KFbxLayerElementUserData& element, int channel) {
    std::vector<T> values;
    const DynamicArray* items = element.GetDirectArrayVoid(channel);
    for (int i = 0; items != nullptr && i < items->GetCount(); ++i) {
        T value{};
        std::memcpy(&value, items->GetItemAt(i), sizeof value);
        values.push_back(value);
    }
    return values;
}

KFbxTakeNode* TakeNode(KFbxNode& node, const char* take) {
    for (int t = 0; t < node.GetTakeNodeCount(); ++t) {
        if (std::strcmp(node.GetTakeNodeName(t), take) == 0) {
            return node.GetTakeNode(t);
        }
    }
    return nullptr;
}

KFCurve* RotationY(KFbxNode& node, const char* take) {
    KFbxTakeNode* takeNode = TakeNode(node, take);
    return takeNode != nullptr ? takeNode->GetEulerRotationY() : nullptr;
}

KFCurve* TranslationX(KFbxNode& node, const char* take) {
    KFbxTakeNode* takeNode = TakeNode(node, take);
    return takeNode != nullptr ? takeNode->GetTranslationX() : nullptr;
}

// A scene with one animated node and the take "Walk" of two seconds.
KFbxScene* AnimatedScene(KFbxSdkManager* manager, KFbxNode*& node) {
    KFbxScene* scene = KFbxScene::Create(manager, "animated");
    node = AddNode(manager, scene->GetRootNode(), "Mover", KFbxNull::Create(manager, ""));
    KFbxTakeInfo info;
    info.mName = "Walk";
    info.mLocalTimeSpan.Set(Seconds(0.0), Seconds(2.0));
    info.mReferenceTimeSpan.Set(Seconds(0.0), Seconds(2.0));
    scene->SetTakeInfo(info);
    node->CreateTakeNode("Walk");
    scene->SetCurrentTake("Walk");
    return scene;
}

// A ".raw" media format: written as a 2 x 1 image, read back into a file
// that tells what image it was given.
struct RawImages {
    static inline int sBackCalls = 0;
    static inline bool sBackOriginalFormat = true;
    static int Convert(int mode, const KString& fileName, KFbxImageBuffer* image) {
        if (mode == 0) {
            image->Init(2, 1, true, KFbxImageBuffer::eRGB, 3);
            for (int i = 0; i < 6; ++i) {
                image->GetData()[i] = static_cast<unsigned char>(i * 40);
            }
            image->SetOriginalFormat(false);
            return 0;
        }
        ++sBackCalls;
        sBackOriginalFormat = image->GetOriginalFormat();
        std::ofstream out(fileName.Buffer(), std::ios::binary | std::ios::trunc);
        out << "raw " << image->GetWidth() << "x" << image->GetHeight();
        for (int i = 0; i < image->GetWidth() * image->GetHeight() * image->GetBytesPerPixel(); ++i) {
            out << " " << static_cast<int>(image->GetData()[i]);
        }
        return 0;
    }
};

class ImportTest : public ReaderTest {
protected:
    // The source written in the format and read back; null when either fails.
    KFbxScene* RoundTrip(KFbxScene* source, const char* fileName, int format) {
        const std::string path = Path(fileName);
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        return Export(source, path, format) && Import(path, read) ? read : nullptr;
    }
};

class ImportRoundTrip : public ImportTest, public ::testing::WithParamInterface<int> {};

TEST_P(ImportRoundTrip, UserDataElementsComeBackWithEveryValueType) {
    KFbxScene* source = KFbxScene::Create(mManager, "source");
    KFbxMesh* mesh = AddQuad(mManager, *source);
    const KFbxDataType types[] = {KFbxGetBaseDataType(eFbxValueBool), KFbxGetBaseDataType(eFbxValueInteger),
                                  KFbxGetBaseDataType(eFbxValueFloat), KFbxGetBaseDataType(eFbxValueDouble)};
    const char* const names[] = {"Hard", "Group", "Weight", "Length"};
    auto* direct = new KFbxLayerElementUserData("Marks", 7, types, names, 4);
    direct->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    direct->SetReferenceMode(KFbxLayerElement::eDIRECT);
    SetItems<bool>(*direct, 0, {true, false, true, true});
    SetItems<int>(*direct, 1, {-3, 0, 2147483647, -2147483647 - 1});
    SetItems<float>(*direct, 2, {0.1f, 1.5f, -2.25f, 3.0e7f});
    SetItems<double>(*direct, 3, {0.1, 1.0 / 3.0, -1e-300, 6.02214076e23});
    mesh->GetLayer(mesh->CreateLayer())->SetUserData(direct);
    // A second layer's element through an index array.
    auto* indexed = new KFbxLayerElementUserData("Lookup", 9, &types[3], &names[3], 1);
    indexed->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
    indexed->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    SetItems<double>(*indexed, 0, {2.5, -4.0});
    for (int index : {1, 0, 0, 1}) {
        indexed->GetIndexArray().Add(index);
    }
    mesh->GetLayer(mesh->CreateLayer())->SetUserData(indexed);

    KFbxScene* read = RoundTrip(source, "userdata.fbx", GetParam());
    ASSERT_NE(read, nullptr) << mLastError;

    KFbxNode* quad = read->FindNodeByName(KString("Quad"));
    ASSERT_NE(quad, nullptr);
    auto* readMesh = dynamic_cast<KFbxMesh*>(quad->GetNodeAttribute());
    ASSERT_NE(readMesh, nullptr);
    ASSERT_EQ(readMesh->GetLayerCount(), 2);
    const KFbxLayerElementUserData* first = readMesh->GetLayer(0)->GetUserData();
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->GetName(), "Marks");
    EXPECT_EQ(first->GetId(), 7);
    EXPECT_EQ(first->GetMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    ASSERT_EQ(first->GetDirectArrayCount(), 4);
    for (int j = 0; j < 4; ++j) {
        EXPECT_STREQ(first->GetDataName(j), names[j]);
        EXPECT_EQ(first->GetDataType(j).GetType(), types[j].GetType());
    }
    EXPECT_EQ(Items<bool>(*first, 0), (std::vector<bool>{true, false, true, true}));
    EXPECT_EQ(Items<int>(*first, 1), (std::vector<int>{-3, 0, 2147483647, -2147483647 - 1}));
    EXPECT_EQ(Items<float>(*first, 2), (std::vector<float>{0.1f, 1.5f, -2.25f, 3.0e7f}));
    EXPECT_EQ(Items<double>(*first, 3), (std::vector<double>{0.1, 1.0 / 3.0, -1e-300, 6.02214076e23}));

    const KFbxLayerElementUserData* second = readMesh->GetLayer(1)->GetUserData();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetId(), 9);
    EXPECT_EQ(second->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);
    EXPECT_EQ(Items<double>(*second, 0), (std::vector<double>{2.5, -4.0}));
    ASSERT_EQ(second->GetIndexArray().GetCount(), 4);
    EXPECT_EQ(second->GetIndexArray().GetAt(0), 1);
    EXPECT_EQ(second->GetIndexArray().GetAt(3), 1);
}

TEST_P(ImportRoundTrip, SceneThumbnailComesBackByteForByte) {
    KFbxScene* source = KFbxScene::Create(mManager, "source");
    AddQuad(mManager, *source);
    KFbxSceneInfo* info = KFbxSceneInfo::Create(mManager, "GlobalInfo");
    info->mTitle = "With picture";
    KFbxThumbnail* thumbnail = KFbxThumbnail::Create(mManager, "");
    thumbnail->SetDataFormat(KFbxThumbnail::eRGBA_32);
    thumbnail->SetSize(KFbxThumbnail::e64x64);
    for (std::uint32_t i = 0; i < thumbnail->GetSizeInBytes(); ++i) {
        thumbnail->GetThumbnailImage()[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    info->SetSceneThumbnail(thumbnail);
    source->SetSceneInfo(info);

    KFbxScene* read = RoundTrip(source, "thumbnail.fbx", GetParam());
    ASSERT_NE(read, nullptr) << mLastError;

    ASSERT_NE(read->GetSceneInfo(), nullptr);
    EXPECT_EQ(read->GetSceneInfo()->mTitle, "With picture");
    const KFbxThumbnail* back = read->GetSceneInfo()->GetSceneThumbnail();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetDataFormat(), KFbxThumbnail::eRGBA_32);
    EXPECT_EQ(back->GetSize(), KFbxThumbnail::e64x64);
    ASSERT_EQ(back->GetSizeInBytes(), 16384u);
    EXPECT_EQ(std::memcmp(back->GetThumbnailImage(), thumbnail->GetThumbnailImage(), 16384), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, ImportRoundTrip, ::testing::ValuesIn(kFbx6WriterFormats), WriterFormatName);

TEST_F(ImportTest, RotationsAreUnrolledAndContinuousOnesKeptAsTheyWere) {
    KFbxNode* node = nullptr;
    KFbxScene* source = AnimatedScene(mManager, node);
    // A wrap past half a turn, then a continuous stretch beyond 180 degrees.
    KFCurve* ry = RotationY(*node, "Walk");
    ry->KeySet(0, Seconds(0.0), 170.0f, KFCURVE_INTERPOLATION_LINEAR);
    ry->KeySet(1, Seconds(0.5), -170.0f, KFCURVE_INTERPOLATION_LINEAR);
    ry->KeySet(2, Seconds(1.0), -100.0f, KFCURVE_INTERPOLATION_LINEAR);
    KFbxNode* steady = AddNode(mManager, source->GetRootNode(), "Steady", KFbxNull::Create(mManager, ""));
    steady->CreateTakeNode("Walk");
    KFCurve* continuous = RotationY(*steady, "Walk");
    const float angles[] = {10.0f, 95.0f, 170.0f, 260.0f, 400.0f};
    for (int k = 0; k < 5; ++k) {
        continuous->KeySet(k, Seconds(k * 0.25), angles[k], KFCURVE_INTERPOLATION_CUBIC);
    }

    KFbxScene* read = RoundTrip(source, "unroll.fbx", KFbxFileFormatRegistry::eFBX_BINARY_WRITER);
    ASSERT_NE(read, nullptr) << mLastError;

    KFCurve* unrolled = RotationY(*read->FindNodeByName(KString("Mover")), "Walk");
    ASSERT_NE(unrolled, nullptr);
    ASSERT_EQ(unrolled->KeyGetCount(), 3);
    EXPECT_FLOAT_EQ(unrolled->KeyGetValue(0), 170.0f);
    EXPECT_FLOAT_EQ(unrolled->KeyGetValue(1), 190.0f);
    EXPECT_FLOAT_EQ(unrolled->KeyGetValue(2), 260.0f);

    KFCurve* kept = RotationY(*read->FindNodeByName(KString("Steady")), "Walk");
    ASSERT_NE(kept, nullptr);
    ASSERT_EQ(kept->KeyGetCount(), 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(kept->KeyGetValue(k), angles[k]) << k;
        EXPECT_EQ(kept->KeyGetTime(k).Get(), Seconds(k * 0.25).Get()) << k;
    }
}

TEST_F(ImportTest, UnrolledRotationsKeepThePoseInEveryRotationOrder) {
    for (int order = KFbxNode::eEULER_XYZ; order <= KFbxNode::eEULER_ZYX; ++order) {
        KFbxNode* node = nullptr;
        KFbxScene* source = AnimatedScene(mManager, node);
        node->SetRotationActive(true);
        node->SetRotationOrder(KFbxNode::eSOURCE_SET, static_cast<KFbxNode::ERotationOrder>(order));
        KFbxTakeNode* take = TakeNode(*node, "Walk");
        // The XYZ equivalent of (170, 10, 170) is nearer to zero, but turns
        // another way in the other orders.
        const float keys[2][3] = {{170.0f, 10.0f, 170.0f}, {175.0f, 20.0f, 160.0f}};
        KFCurve* curves[3] = {take->GetEulerRotationX(), take->GetEulerRotationY(), take->GetEulerRotationZ()};
        for (int k = 0; k < 2; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                curves[axis]->KeySet(k, Seconds(k), keys[k][axis], KFCURVE_INTERPOLATION_LINEAR);
            }
        }
        const std::string name = "order" + std::to_string(order) + ".fbx";
        KFbxScene* read = RoundTrip(source, name.c_str(), KFbxFileFormatRegistry::eFBX_BINARY_WRITER);
        ASSERT_NE(read, nullptr) << mLastError;
        KFbxNode* back = read->FindNodeByName(KString("Mover"));
        ASSERT_NE(back, nullptr);
        for (int k = 0; k < 2; ++k) {
            const KgeMatrix expected = node->EvaluateGlobalTransform(Seconds(k));
            const KgeMatrix actual = back->EvaluateGlobalTransform(Seconds(k));
            EXPECT_EQ(KgeMatrix::CompareWithTolerance(expected, actual, 1e-5), 0) << "order " << order << ", key " << k;
        }
    }
}

TEST_F(ImportTest, FlatRunsOfKeysAreReducedWithoutChangingTheCurve) {
    KFbxNode* node = nullptr;
    KFbxScene* source = AnimatedScene(mManager, node);
    KFCurve* tx = TranslationX(*node, "Walk");
    for (int k = 0; k < 4; ++k) {
        tx->KeySet(k, Seconds(k * 0.25), 2.0f, KFCURVE_INTERPOLATION_LINEAR);
    }
    tx->KeySet(4, Seconds(1.0), 6.0f, KFCURVE_INTERPOLATION_LINEAR);

    KFbxScene* read = RoundTrip(source, "reduce.fbx", KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
    ASSERT_NE(read, nullptr) << mLastError;

    KFCurve* back = TranslationX(*read->FindNodeByName(KString("Mover")), "Walk");
    ASSERT_NE(back, nullptr);
    EXPECT_LT(back->KeyGetCount(), 5);
    EXPECT_GE(back->KeyGetCount(), 2);
    for (int step = 0; step <= 12; ++step) {
        const KTime time = Seconds(step / 10.0);
        EXPECT_NEAR(back->Evaluate(time), tx->Evaluate(time), 1e-5) << step;
    }
}

TEST_F(ImportTest, ImportOffsetOfATakeShiftsItsKeys) {
    KFbxNode* node = nullptr;
    KFbxScene* source = AnimatedScene(mManager, node);
    KFCurve* tx = TranslationX(*node, "Walk");
    tx->KeySet(0, Seconds(0.0), 1.0f, KFCURVE_INTERPOLATION_LINEAR);
    tx->KeySet(1, Seconds(1.0), 3.0f, KFCURVE_INTERPOLATION_LINEAR);
    const std::string path = Path("offset.fbx");
    ASSERT_TRUE(Export(source, path, KFbxFileFormatRegistry::eFBX_BINARY_WRITER));

    struct Case {
        KFbxTakeInfo::EImportOffsetType type;
        double offset;
        double firstKey;
    };
    // The take starts at 0 s: relative and absolute offsets agree here,
    // and a take the list does not name is left alone.
    for (const Case& c : {Case{KFbxTakeInfo::eRELATIVE, 1.5, 1.5}, Case{KFbxTakeInfo::eABSOLUTE, -0.5, -0.5},
                          Case{KFbxTakeInfo::eRELATIVE, 0.0, 0.0}}) {
        KFbxStreamOptionsFbxReader* options = ReaderOptions();
        KFbxTakeInfo wanted;
        wanted.mName = "Walk";
        wanted.mImportOffset = Seconds(c.offset);
        wanted.SetImportOffsetType(c.type);
        options->GetTakeList().AddTakeInfo(wanted);
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        ASSERT_TRUE(Import(path, read, options)) << mLastError;
        KFCurve* back = TranslationX(*read->FindNodeByName(KString("Mover")), "Walk");
        ASSERT_NE(back, nullptr);
        ASSERT_EQ(back->KeyGetCount(), 2);
        EXPECT_EQ(back->KeyGetTime(0).Get(), Seconds(c.firstKey).Get());
        EXPECT_EQ(back->KeyGetTime(1).Get(), Seconds(c.firstKey + 1.0).Get());
        EXPECT_FLOAT_EQ(back->KeyGetValue(1), 3.0f);
    }
}

// Base keys of 1 at 0 s and at the end, and an additive layer rising by 10
// a second over the same span.
void AddLayeredTranslation(KFbxNode& node, double end) {
    KFCurve* tx = TranslationX(node, "Walk");
    tx->KeySet(0, Seconds(0.0), 1.0f, KFCURVE_INTERPOLATION_LINEAR);
    tx->KeySet(1, Seconds(end), 1.0f, KFCURVE_INTERPOLATION_LINEAR);
    KFCurveNode* translation = node.GetTakeNode(node.GetTakeNodeCount() - 1)->GetKFCurveNode()->Find("T");
    ASSERT_NE(translation, nullptr);
    translation->SetLayerType(KFCL_TRANSLATION);
    KFCurveNode* layer = translation->CreateLayer(1);
    ASSERT_NE(layer, nullptr);
    KFCurveNode* layerX = layer->Find("X");
    ASSERT_NE(layerX, nullptr);
    ASSERT_NE(layerX->FCurveGet(), nullptr);
    layerX->FCurveGet()->KeySet(0, Seconds(0.0), 0.0f, KFCURVE_INTERPOLATION_LINEAR);
    layerX->FCurveGet()->KeySet(1, Seconds(end), static_cast<float>(10.0 * end), KFCURVE_INTERPOLATION_LINEAR);
}

TEST_F(ImportTest, LayeredChannelsAreBakedIntoTheBaseLayer) {
    KFbxNode* node = nullptr;
    KFbxScene* source = AnimatedScene(mManager, node);
    AddLayeredTranslation(*node, 1.0);
    // Keys a million seconds apart (a damaged file) would bake into tens of
    // millions of keys: that channel keeps its base keys instead.
    KFbxNode* far = AddNode(mManager, source->GetRootNode(), "Far", KFbxNull::Create(mManager, ""));
    far->CreateTakeNode("Walk");
    AddLayeredTranslation(*far, 1.0e6);

    KFbxScene* read = RoundTrip(source, "layered.fbx", KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
    ASSERT_NE(read, nullptr) << mLastError;

    KFCurve* baked = TranslationX(*read->FindNodeByName(KString("Mover")), "Walk");
    ASSERT_NE(baked, nullptr);
    // One key a frame at 30 frames per second over the second, the sum of
    // the base and the additive layer.
    EXPECT_GE(baked->KeyGetCount(), 31);
    for (int step = 0; step <= 10; ++step) {
        EXPECT_NEAR(baked->Evaluate(Seconds(step / 10.0)), 1.0 + step, 1e-4) << step;
    }
    KFCurve* unbaked = TranslationX(*read->FindNodeByName(KString("Far")), "Walk");
    ASSERT_NE(unbaked, nullptr);
    EXPECT_LE(unbaked->KeyGetCount(), 2);
}

TEST_F(ImportTest, SkeletonsOfOldFilesGetTheirInheritTypeFixed) {
    KFbxScene* source = KFbxScene::Create(mManager, "source");
    KFbxNode* holder = AddNode(mManager, source->GetRootNode(), "Holder", KFbxNull::Create(mManager, ""));
    KFbxSkeleton* boneAttribute = KFbxSkeleton::Create(mManager, "");
    boneAttribute->SetSkeletonType(KFbxSkeleton::eROOT);
    KFbxNode* bone = AddNode(mManager, holder, "Bone", boneAttribute);
    bone->SetTransformInheritType(KFbxNode::eINHERIT_Rrs);
    KFbxSkeleton* tipAttribute = KFbxSkeleton::Create(mManager, "");
    tipAttribute->SetSkeletonType(KFbxSkeleton::eLIMB_NODE);
    KFbxNode* tip = AddNode(mManager, bone, "Tip", tipAttribute);
    tip->SetTransformInheritType(KFbxNode::eINHERIT_Rrs);

    const std::string path = Path("current.fbx");
    ASSERT_TRUE(Export(source, path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    std::string text;
    {
        std::ifstream in(path);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The same file as an older writer made it.
    std::string old = text;
    int replaced = 0;
    for (std::size_t at = old.find("Version: 232"); at != std::string::npos; at = old.find("Version: 232", at)) {
        old.replace(at, 12, "Version: 200");
        ++replaced;
    }
    ASSERT_GT(replaced, 0);
    const std::string oldPath = Path("old.fbx");
    std::ofstream(oldPath) << old;

    for (bool oldFile : {false, true}) {
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        ASSERT_TRUE(Import(oldFile ? oldPath : path, read)) << mLastError;
        KFbxNode::ETransformInheritType type = KFbxNode::eINHERIT_RrSs;
        read->FindNodeByName(KString("Bone"))->GetTransformInheritType(type);
        EXPECT_EQ(type, oldFile ? KFbxNode::eINHERIT_RSrs : KFbxNode::eINHERIT_Rrs) << oldFile;
        // Below another skeleton the old meaning is the current one.
        read->FindNodeByName(KString("Tip"))->GetTransformInheritType(type);
        EXPECT_EQ(type, KFbxNode::eINHERIT_Rrs) << oldFile;
    }
}

class ConvertedMediaTest : public ImportTest {
protected:
    // Writes a scene whose only video is a ".raw" file, embedded as the
    // converter's image, then takes the file away; the read scene's
    // extracted media file. With swapModelFolder the model's folder is
    // swapped for a link to another between Initialize and Import: the
    // medium is then read from the folder the model was read from.
    std::string ExportThenRead(bool keepConverter, bool swapModelFolder = false) {
        KFbxImageConverter* converter = KFbxImageConverter::Create(mManager, "converter");
        EXPECT_TRUE(converter != nullptr && converter->AddConversionFunction("raw", &RawImages::Convert));
        const std::string media = mFolder.Write("picture.raw", "original bytes");
        KFbxScene* source = KFbxScene::Create(mManager, "source");
        KFbxVideo* video = KFbxVideo::Create(mManager, "Picture");
        video->SetFileName(media.c_str());
        source->ConnectObject(video);
        KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
        options->SetOption("EMBEDDED", true);
        std::filesystem::create_directory(Path("model"));
        std::filesystem::create_directory(Path("outside"));
        const std::string path = Path("model/converted.fbx");
        EXPECT_TRUE(Export(source, path, KFbxFileFormatRegistry::eFBX_BINARY_WRITER, options));
        std::filesystem::remove(media);
        if (!keepConverter) {
            converter->Destroy();
        }
        RawImages::sBackCalls = 0;
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        EXPECT_TRUE(importer->Initialize(path.c_str())) << importer->GetLastErrorString();
        if (swapModelFolder) {
            std::filesystem::rename(Path("model"), Path("moved"));
            std::filesystem::create_directory_symlink(Path("outside"), Path("model"));
        }
        EXPECT_TRUE(importer->Import(read)) << importer->GetLastErrorString();
        importer->Destroy();
        if (read->GetVideoCount() != 1) {
            ADD_FAILURE() << read->GetVideoCount() << " videos";
            return "";
        }
        if (swapModelFolder) {
            EXPECT_TRUE(std::filesystem::is_empty(Path("outside")));
            return mFolder.Read("moved/converted.fbm/picture.raw");
        }
        std::ifstream in(read->GetVideo(0)->GetFileName(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

TEST_F(ConvertedMediaTest, AreConvertedBackWhenExtracted) {
    EXPECT_EQ(ExportThenRead(true), "raw 2x1 0 40 80 120 160 200");
    EXPECT_EQ(RawImages::sBackCalls, 1);
    EXPECT_FALSE(RawImages::sBackOriginalFormat);
}

TEST_F(ConvertedMediaTest, AreConvertedBackInTheFolderTheModelWasReadFrom) {
    EXPECT_EQ(ExportThenRead(true, true), "raw 2x1 0 40 80 120 160 200");
}

TEST_F(ConvertedMediaTest, StayImagesWithoutAConverter) {
    // The image is not thrown away for want of a way back.
    const std::string extracted = ExportThenRead(false);
    EXPECT_EQ(RawImages::sBackCalls, 0);
    ASSERT_GE(extracted.size(), 4u);
    EXPECT_TRUE(extracted.rfind("II", 0) == 0 || extracted.rfind("MM", 0) == 0);
}

// A small file of a quad with a user-data element and a scene thumbnail,
// damaged in every way one truncation or one byte change can: each import
// either fails, leaving the scene as it was, or gives a scene.
class DamagedNewRecords : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    std::string SmallFile() {
        const std::string path = Path("small.fbx");
        KFbxFileHeaderInfo header;
        KFbx file;
        EXPECT_TRUE(file.FileCreate(path.c_str(), GetParam() != KFbxFileFormatRegistry::eFBX_ASCII_WRITER, false,
                                    &header));
        auto intField = [&](const char* name, int value) {
            file.FieldWriteBegin(name);
            file.FieldWriteI(value);
            file.FieldWriteEnd();
        };
        // A field holding a block (its values written by the caller), and its end.
        auto open = [&](const char* name) { file.FieldWriteBegin(name); };
        auto block = [&]() { file.FieldWriteBlockBegin(); };
        auto close = [&]() {
            file.FieldWriteBlockEnd();
            file.FieldWriteEnd();
        };
        open("Objects");
        block();
        open("Model");
        file.FieldWriteS("Model::Quad");
        file.FieldWriteS("Mesh");
        block();
        file.FieldWriteBegin("Vertices");
        const double points[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
        file.FieldWriteArrayD(points, 12);
        file.FieldWriteEnd();
        file.FieldWriteBegin("PolygonVertexIndex");
        const int polygon[] = {0, 1, 3, -3};
        file.FieldWriteArrayI(polygon, 4);
        file.FieldWriteEnd();
        open("LayerElementUserData");
        file.FieldWriteI(0);
        block();
        file.WriteStringField("MappingInformationType", "ByVertice");
        file.WriteStringField("ReferenceInformationType", "IndexToDirect");
        intField("UserDataId", 3);
        for (EFbxValueType type : {eFbxValueInteger, eFbxValueDouble}) {
            open("UserDataArray");
            block();
            file.WriteStringField("UserDataType", KFbxGetBaseDataType(type).GetName());
            file.WriteStringField("UserDataName", "Data");
            file.FieldWriteBegin("UserData");
            file.FieldWriteI(7);
            file.FieldWriteD(-2.5e9);
            file.FieldWriteEnd();
            close();
        }
        file.FieldWriteBegin("UserDataIndex");
        const int indices[] = {1, 0, 1, 0};
        file.FieldWriteArrayI(indices, 4);
        file.FieldWriteEnd();
        close();
        open("Layer");
        file.FieldWriteI(0);
        block();
        open("LayerElement");
        block();
        file.WriteStringField("Type", "LayerElementUserData");
        intField("TypedIndex", 0);
        close();
        close();
        close();
        open("SceneInfo");
        file.FieldWriteS("SceneInfo::GlobalInfo");
        file.FieldWriteS("UserData");
        block();
        open("Thumbnail");
        block();
        intField("Format", 0);
        intField("Size", 64);
        // Far fewer bytes than the size asks for.
        file.FieldWriteBegin("ImageData");
        for (int value : {1, 2, 300}) {
            file.FieldWriteI(value);
        }
        file.FieldWriteEnd();
        close();
        close();
        close();
        open("Connections");
        block();
        file.FieldWriteBegin("Connect");
        file.FieldWriteS("OO");
        file.FieldWriteS("Model::Quad");
        file.FieldWriteS("Model::Scene");
        file.FieldWriteEnd();
        close();
        EXPECT_TRUE(file.CloseFileIdentity());
        EXPECT_TRUE(file.FileClose());
        return mFolder.Read("small.fbx");
    }

    void ImportDamaged(const std::string& bytes, const std::string& what) {
        const std::string path = mFolder.Write("damaged.fbx", bytes);
        KFbxScene* target = KFbxScene::Create(mManager, "target");
        KFbxNode* marker = KFbxNode::Create(mManager, "Marker");
        target->GetRootNode()->AddChild(marker);
        if (!Import(path, target)) {
            EXPECT_FALSE(mLastError.empty()) << what;
            ASSERT_EQ(target->GetRootNode()->GetChildCount(), 1) << what;
            EXPECT_EQ(target->GetRootNode()->GetChild(0), marker) << what;
        }
        target->Destroy(true);
    }
};

TEST_P(DamagedNewRecords, TheWholeFileReadsBack) {
    const std::string bytes = SmallFile();
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(Path("small.fbx"), read)) << mLastError;
    KFbxNode* quad = read->FindNodeByName(KString("Quad"));
    ASSERT_NE(quad, nullptr);
    auto* mesh = dynamic_cast<KFbxMesh*>(quad->GetNodeAttribute());
    ASSERT_TRUE(mesh != nullptr && mesh->GetLayer(0) != nullptr);
    const KFbxLayerElementUserData* data = mesh->GetLayer(0)->GetUserData();
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->GetDirectArrayCount(), 2);
    // A value beyond the integer range is held at the range's end.
    EXPECT_EQ(Items<int>(*data, 0), (std::vector<int>{7, -2147483647 - 1}));
    EXPECT_EQ(Items<double>(*data, 1), (std::vector<double>{7.0, -2.5e9}));
    EXPECT_EQ(data->GetIndexArray().GetCount(), 4);
    const KFbxThumbnail* thumbnail = read->GetSceneInfo()->GetSceneThumbnail();
    ASSERT_NE(thumbnail, nullptr);
    ASSERT_EQ(thumbnail->GetSizeInBytes(), 12288u);
    EXPECT_EQ(thumbnail->GetThumbnailImage()[1], 2);
    EXPECT_EQ(thumbnail->GetThumbnailImage()[12287], 0);
}

TEST_P(DamagedNewRecords, EveryTruncationAndByteChangeIsHandled) {
    const std::string bytes = SmallFile();
    ASSERT_FALSE(bytes.empty());
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        ImportDamaged(bytes.substr(0, size), "truncated to " + std::to_string(size));
    }
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        ImportDamaged(WithByteChanged(bytes, at), "byte " + std::to_string(at) + " changed");
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, DamagedNewRecords,
                         ::testing::Values(KFbxFileFormatRegistry::eFBX_BINARY_WRITER,
                                           KFbxFileFormatRegistry::eFBX_ASCII_WRITER),
                         WriterFormatName);

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
