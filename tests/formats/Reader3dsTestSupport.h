// The 3DS reader's test fixture: files made with the toolkit in a scratch
// folder, imported through the importer into a fresh scene.
#ifndef TESTS_FORMATS_READER3DSTESTSUPPORT_H
#define TESTS_FORMATS_READER3DSTESTSUPPORT_H

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "formats/FormatsTestSupport.h"
#include "formats/Scene3dsFiles.h"
#include "formats/Scene3dsTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::reader3dstest {

using namespace scene3ds;

inline constexpr double kInch = 2.54;

using formatstest::ChildNames;
using formatstest::MeshOf;

class Reader3dsTest : public scene3dstest::Scene3dsTest {
protected:
    // New options with their defaults; the manager destroys them.
    KFbxStreamOptions3dsReader* Options() { return KFbxStreamOptions3dsReader::Create(mManager, ""); }

    // Writes the file and imports it into the scene.
    bool WriteAndImport(File& file, KFbxStreamOptions* options = nullptr, const std::string& name = "in.3ds") {
        const std::string path = Path(name);
        EXPECT_TRUE(file.Write(path));
        return Import(path, options);
    }

    bool Import(const std::string& path, KFbxStreamOptions* options = nullptr) {
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        if (importer == nullptr) {
            return false;
        }
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(mScene, options);
        mLastErrorId = importer->GetLastErrorID();
        mLastError = importer->GetLastErrorString();
        importer->GetMessageText(mMessage);
        importer->Destroy();
        return imported;
    }

    KFbxNode* Node(const char* name) const { return mScene->GetRootNode()->FindChild(name, true); }

    // The node's curve of the take "default take".
    static KFCurve* TakeCurve(KFbxNode* node, const char* first, const char* second, const char* third) {
        if (node == nullptr || !node->SetCurrentTakeNodeByName("default take")) {
            return nullptr;
        }
        KFbxTakeNode* take = node->GetCurrentTakeNode();
        return take != nullptr ? take->GetKFCurve(first, second, third) : nullptr;
    }

    static std::int64_t FrameOf(KTime time) { return time.GetFrame(true, KTime::eFrames30); }

    static std::vector<std::int64_t> KeyFrames(const KFCurve* curve) {
        std::vector<std::int64_t> frames;
        for (int key = 0; curve != nullptr && key < curve->KeyGetCount(); ++key) {
            frames.push_back(FrameOf(curve->KeyGetTime(key)));
        }
        return frames;
    }

    int mLastErrorId = -1;
};

inline ::testing::AssertionResult Near(const KFbxVector4& actual, double x, double y, double z,
                                       double tolerance = 1e-5) {
    return formatstest::NearPoint(actual[0], actual[1], actual[2], x, y, z, tolerance);
}

}  // namespace fbxsdk_2006_11_1::reader3dstest

#endif
