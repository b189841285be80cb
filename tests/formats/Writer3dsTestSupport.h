// The 3DS writer's test fixture: scenes built in a fresh manager, exported
// through the exporter into a scratch folder, and the written file's records
// read back with the toolkit.
#ifndef TESTS_FORMATS_WRITER3DSTESTSUPPORT_H
#define TESTS_FORMATS_WRITER3DSTESTSUPPORT_H

#include <fbxfilesdk/3dsftk/Toolkit3ds.h>
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxReader3DSRecords.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "formats/FormatsTestSupport.h"
#include "formats/Scene3dsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::writer3dstest {

// The records of a written file, read with the toolkit; each getter gives a
// record the caller owns, or null.
class WrittenFile {
public:
    explicit WrittenFile(const std::string& path) {
        ClearErrorList3ds();
        mFile = OpenFile3ds(path.c_str(), "rb");
        if (mFile == nullptr) {
            return;
        }
        InitDatabase3ds(&mDatabase);
        CreateDatabase3ds(mFile, mDatabase);
        mValid = !FtkErrorPending;
    }
    ~WrittenFile() {
        ReleaseDatabase3ds(&mDatabase);
        CloseFile3ds(mFile);
    }
    WrittenFile(const WrittenFile&) = delete;
    WrittenFile& operator=(const WrittenFile&) = delete;

    bool Valid() const { return mValid; }
    database3ds* Database() const { return mDatabase; }

    template <class Record, void (*Release)(Record**)>
    reader3ds::Owned<Record, Release> Get(void (*get)(database3ds*, std::uint32_t, Record**), std::uint32_t index) {
        Record* record = nullptr;
        get(mDatabase, index, &record);
        return reader3ds::Owned<Record, Release>(record);
    }
    reader3ds::MeshRecord Mesh(std::uint32_t index) { return Get<mesh3ds, &ReleaseMeshObj3ds>(&GetMeshByIndex3ds, index); }
    reader3ds::MaterialRecord Material(std::uint32_t index) {
        return Get<material3ds, &ReleaseMaterial3ds>(&GetMaterialByIndex3ds, index);
    }
    reader3ds::ObjectMotionRecord Object(std::uint32_t index) {
        return Get<kfmesh3ds, &ReleaseObjectMotion3ds>(&GetObjectMotionByIndex3ds, index);
    }
    reader3ds::LightRecord Omni(std::uint32_t index) {
        return Get<light3ds, &ReleaseLight3ds>(&GetOmnilightByIndex3ds, index);
    }
    reader3ds::LightRecord Spot(std::uint32_t index) {
        return Get<light3ds, &ReleaseLight3ds>(&GetSpotlightByIndex3ds, index);
    }
    reader3ds::CameraRecord Camera(std::uint32_t index) {
        return Get<camera3ds, &ReleaseCamera3ds>(&GetCameraByIndex3ds, index);
    }
    reader3ds::OmniMotionRecord OmniMotion(std::uint32_t index) {
        return Get<kfomni3ds, &ReleaseOmnilightMotion3ds>(&GetOmnilightMotionByIndex3ds, index);
    }
    reader3ds::SpotMotionRecord SpotMotion(std::uint32_t index) {
        return Get<kfspot3ds, &ReleaseSpotlightMotion3ds>(&GetSpotlightMotionByIndex3ds, index);
    }
    reader3ds::CameraMotionRecord CameraMotion(std::uint32_t index) {
        return Get<kfcamera3ds, &ReleaseCameraMotion3ds>(&GetCameraMotionByIndex3ds, index);
    }
    // The mesh settings; the toolkit's defaults when the file has none.
    meshsettings3ds Settings() {
        meshsettings3ds* settings = nullptr;
        InitMeshSet3ds(&settings);
        GetMeshSet3ds(mDatabase, &settings);
        const meshsettings3ds copy = *settings;
        ReleaseMeshSet3ds(&settings);
        return copy;
    }
    // KFHDR's animation length; -1 without one.
    long long AnimationLength() {
        Chunk3ds* chunk = nullptr;
        FindChunk3ds(mDatabase->topchunk, KFHDR, &chunk);
        const auto* header = chunk != nullptr ? static_cast<KfHeaderData3ds*>(ReadChunkData3ds(chunk)) : nullptr;
        return header != nullptr ? static_cast<long long>(header->animlength) : -1;
    }

private:
    file3ds* mFile = nullptr;
    database3ds* mDatabase = nullptr;
    bool mValid = false;
};

class Writer3dsTest : public scene3dstest::Scene3dsTest {
protected:
    // New writer options with their defaults; the manager destroys them.
    KFbxStreamOptions3dsWriter* Options() {
        KFbxStreamOptions3dsWriter* options = KFbxStreamOptions3dsWriter::Create(mManager, "");
        options->Reset();
        return options;
    }
    KFbxStreamOptions3dsWriter* OptionsWith(const char* name, bool value) {
        KFbxStreamOptions3dsWriter* options = Options();
        options->SetOption(name, value);
        return options;
    }

    // Exports the scene as a 3DS file through the exporter.
    bool Export(const std::string& name, KFbxStreamOptions* options = nullptr) {
        KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
        if (exporter == nullptr) {
            return false;
        }
        exporter->SetFileFormat(KFbxFileFormatRegistry::e3DS_WRITER);
        const bool exported = exporter->Initialize(Path(name).c_str()) && exporter->Export(mScene, options);
        mLastError = exporter->GetLastErrorString();
        exporter->GetMessageText(mMessage);
        exporter->Destroy();
        return exported;
    }

    KFbxNode* AddNode(const char* name, KFbxNodeAttribute* attribute = nullptr, KFbxNode* parent = nullptr) {
        KFbxNode* node = KFbxNode::Create(mManager, name);
        if (attribute != nullptr) {
            node->SetNodeAttribute(attribute);
        }
        (parent != nullptr ? parent : mScene->GetRootNode())->AddChild(node);
        return node;
    }

    // A mesh of the points and polygons (given by corner indices).
    KFbxMesh* MakeMesh(const std::vector<KFbxVector4>& points, const std::vector<std::vector<int>>& polygons) {
        KFbxMesh* mesh = KFbxMesh::Create(mManager, "");
        mesh->InitControlPoints(static_cast<int>(points.size()));
        for (std::size_t point = 0; point < points.size(); ++point) {
            mesh->GetControlPoints()[point] = points[point];
        }
        for (const std::vector<int>& polygon : polygons) {
            mesh->BeginPolygon();
            for (int corner : polygon) {
                mesh->AddPolygonVertex(corner);
            }
            mesh->EndPolygon();
        }
        return mesh;
    }
    KFbxMesh* Quad() {
        return MakeMesh({KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 0, 0, 0), KFbxVector4(1, 1, 0, 0),
                         KFbxVector4(0, 1, 0, 0)},
                        {{0, 1, 2, 3}});
    }
    KFbxSurfacePhong* Phong(const char* name, double red, double green, double blue) {
        KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, name);
        const fbxDouble3 colour(red, green, blue);
        phong->GetDiffuseColor().Set(&colour, eFbxValueDouble3);
        return phong;
    }
    KFbxTexture* Texture(const char* name, const std::string& fileName) {
        KFbxTexture* texture = KFbxTexture::Create(mManager, name);
        texture->SetFileName(fileName.c_str());
        return texture;
    }

    // A key on the node's curve of its current take.
    // A key at a frame of 30 a second, or between two.
    static void Key(KFbxNode* node, KFCurve* (KFbxTakeNode::*curve)(), double frame, double value) {
        KFCurve* target = (node->GetCurrentTakeNode()->*curve)();
        ASSERT_NE(target, nullptr);
        const KTime time(std::llround(frame * static_cast<double>(KTime::kTicksPerSecond / 30)));
        target->KeySet(target->KeyGetCount(), time, static_cast<float>(value), KFCURVE_INTERPOLATION_LINEAR);
    }
};

inline ::testing::AssertionResult Near(const point3ds& actual, double x, double y, double z, double tolerance = 1e-5) {
    return formatstest::NearPoint(actual.x, actual.y, actual.z, x, y, z, tolerance);
}

inline std::string Text(const char* field) { return field != nullptr ? std::string(field) : std::string(); }

}  // namespace fbxsdk_2006_11_1::writer3dstest

#endif
