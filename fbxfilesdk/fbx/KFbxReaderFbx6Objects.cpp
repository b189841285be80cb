// The FBX 6 reader's materials, textures, videos, deformers, poses, caches
// and weighted maps.
#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>

#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxClusterFields.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/geometry/KFbxWeightedMapping.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <memory>
#include <new>

namespace fbxsdk_2006_11_1 {

using namespace fbx6read;


void KFbxReaderFbx6Pass::ReadMaterial(const KString& prefixedName, const KString& /*typeName*/) {
    const KString shadingModel = mFile.FieldReadSDefault("ShadingModel", "phong");
    const KString name = WithoutPrefix(prefixedName);
    KFbxSurfaceMaterial* material = nullptr;
    if (shadingModel.CompareNoCase("lambert") == 0) {
        material = KFbxSurfaceLambert::Create(&mManager, name.Buffer());
    } else {
        material = KFbxSurfacePhong::Create(&mManager, name.Buffer());
    }
    if (material == nullptr) {
        return;
    }
    mScene.ConnectObject(material);
    Remember(prefixedName, material);
    const bool multiLayer = mFile.FieldReadIDefault("MultiLayer", 0) != 0;
    KFbxProperty multiLayerProperty = material->GetMultiLayer();
    multiLayerProperty.Set(&multiLayer, eFbxValueBool);
    if (mFile.FieldReadBegin("Properties60")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadProperties(*material, nullptr, true);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

void KFbxReaderFbx6Pass::ReadTexture(const KString& prefixedName, const KString& /*typeName*/) {
    KFbxTexture* texture = KFbxTexture::Create(&mManager, WithoutPrefix(prefixedName).Buffer());
    if (texture == nullptr) {
        return;
    }
    mScene.ConnectObject(texture);
    Remember(prefixedName, texture);
    texture->SetTextureType(mFile.FieldReadSDefault("Type", "").Buffer());
    if (mFile.FieldReadBegin("Properties60")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadProperties(*texture, nullptr);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    texture->SetMediaName(mFile.FieldReadSDefault("Media", "").Buffer());
    const KString fileName = mFile.FieldReadSDefault("FileName", "");
    const KString relativeName = mFile.FieldReadSDefault("RelativeFilename", "");
    bool there = false;
    texture->SetFileName(FoundFileName(fileName, relativeName, there).Buffer());
    texture->SetRelativeFileName(relativeName.Buffer());
    // Its medium's content may stand for it, once the connections tell
    // which video that is.
    if (!there) mLostTextures.push_back(texture);
    std::vector<double> pair;
    if (ReadDoubles(mFile, "ModelUVTranslation", pair) && pair.size() >= 2) {
        texture->SetUVTranslation(KFbxVector2(pair[0], pair[1]));
    }
    if (ReadDoubles(mFile, "ModelUVScaling", pair) && pair.size() >= 2) {
        texture->SetUVScaling(KFbxVector2(pair[0], pair[1]));
    }
    const KString alphaSource = mFile.FieldReadSDefault("Texture_Alpha_Source", "None");
    texture->SetAlphaSource(alphaSource == "RGB_Intensity" ? KFbxTexture::eRGB_INTENSITY
                            : alphaSource == "Alpha_Black" ? KFbxTexture::eBLACK
                                                           : KFbxTexture::eNONE);
    std::vector<int> cropping;
    if (ReadInts(mFile, "Cropping", cropping) && cropping.size() >= 4) {
        texture->SetCropping(cropping[0], cropping[1], cropping[2], cropping[3]);
    }
}

void KFbxReaderFbx6Pass::ReadDeformer(const KString& prefixedName, const KString& typeName) {
    const KString name = WithoutPrefix(prefixedName);
    KFbxObject* deformer = nullptr;
    if (typeName == "Skin") {
        KFbxSkin* skin = KFbxSkin::Create(&mManager, name.Buffer());
        if (skin != nullptr) {
            skin->SetDeformAccuracy(ReadD(mFile, "Link_DeformAcuracy", 50.0));
        }
        deformer = skin;
    } else if (typeName == "Cluster") {
        KFbxCluster* cluster = KFbxCluster::Create(&mManager, name.Buffer());
        if (cluster != nullptr) {
            KFbxReadClusterFields(mFile, *cluster);
        }
        deformer = cluster;
    } else if (typeName == "VertexCache") {
        deformer = KFbxVertexCacheDeformer::Create(&mManager, name.Buffer());
    }
    if (deformer == nullptr) {
        return;
    }
    mScene.ConnectObject(deformer);
    Remember(prefixedName, deformer);
    if (mFile.FieldReadBegin("Properties60")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadProperties(*deformer, nullptr);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

void KFbxReaderFbx6Pass::ReadPose(const KString& prefixedName, const KString& /*typeName*/) {
    KFbxPose* pose = KFbxPose::Create(&mManager, WithoutPrefix(prefixedName).Buffer());
    if (pose == nullptr) {
        return;
    }
    const bool bindPose = mFile.FieldReadSDefault("Type", "RestPose") == "BindPose";
    pose->SetIsBindPose(bindPose);
    mScene.ConnectObject(pose);
    Remember(prefixedName, pose);
    if (mFile.FieldReadBegin("Properties60")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadProperties(*pose, nullptr);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    // The nodes are named before connections give them their place; the
    // entries are made once the whole scene is read.
    while (mFile.FieldReadBegin("PoseNode")) {
        if (mFile.FieldReadBlockBegin()) {
            PendingPoseEntry entry;
            entry.mPose = pose;
            entry.mNodeName = mFile.FieldReadSDefault("Node", "");
            ReadDoubles(mFile, "Matrix", entry.mMatrix);
            entry.mLocal = !bindPose && mFile.FieldReadIDefault("Local", 0) != 0;
            mPoseEntries.push_back(entry);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

void KFbxReaderFbx6Pass::ReadVideo(const KString& prefixedName, const KString& /*typeName*/) {
    KFbxObject* video = CreateObject("KFbxVideo", WithoutPrefix(prefixedName).Buffer());
    if (video == nullptr) {
        return;
    }
    mScene.ConnectObject(video);
    Remember(prefixedName, video);
    if (mFile.FieldReadBegin("Properties60")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadProperties(*video, nullptr);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    ReadVideoContents(*video);
}

void KFbxReaderFbx6Pass::ReadCache(const KString& prefixedName, const KString& /*typeName*/) {
    KFbxCache* cache = KFbxCache::Create(&mManager, WithoutPrefix(prefixedName).Buffer());
    if (cache == nullptr) {
        return;
    }
    mScene.ConnectObject(cache);
    Remember(prefixedName, cache);
    if (mFile.FieldReadBegin("Properties60")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadProperties(*cache, nullptr);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

namespace {

// The element a stored number names; -1 for numbers no element index holds
// (NaN included), which are skipped like any index out of range.
int ElementIndex(double value) { return value >= 0.0 && value < 2147483648.0 ? static_cast<int>(value) : -1; }

}  // namespace

void KFbxReaderFbx6Pass::ReadWeightedMap(const KString& prefixedName, const KString& /*typeName*/) {
    KFbxGeometryWeightedMap* map = KFbxGeometryWeightedMap::Create(&mManager, WithoutPrefix(prefixedName).Buffer());
    if (map == nullptr) {
        return;
    }
    mScene.ConnectObject(map);
    Remember(prefixedName, map);
    const int sources = mFile.FieldReadIDefault("SourceCount", 0);
    const int destinations = mFile.FieldReadIDefault("DestinationCount", 0);
    if (sources < 0 || destinations < 0) {
        return;
    }
    // The mapping keeps the declared counts but stores only related
    // elements, so the counts cost nothing however large they are.
    auto mapping = std::unique_ptr<KFbxWeightedMapping>(new (std::nothrow) KFbxWeightedMapping(sources, destinations));
    if (mapping == nullptr) {
        mOutOfMemory = true;
        return;
    }
    while (mFile.FieldReadBegin("IndexMapping")) {
        const std::vector<double> values = RestD(mFile);
        mFile.FieldReadEnd();
        if (values.size() < 2) {
            continue;
        }
        const int source = ElementIndex(values[0]);
        for (std::size_t at = 2; at + 1 < values.size(); at += 2) {
            const int destination = ElementIndex(values[at]);
            if (source < 0 || source >= sources || destination < 0 || destination >= destinations) {
                continue;
            }
            if (!mapping->Add(source, destination, values[at + 1])) {
                mOutOfMemory = true;
                return;
            }
        }
    }
    map->SetValues(std::move(mapping));
}

}  // namespace fbxsdk_2006_11_1
