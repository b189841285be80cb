#include <fbxfilesdk/fbx/KFbxReaderLeftovers.h>

#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>

#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

// The objects the scene uses: everything reached through connections from
// the scene and its root, and what geometry and poses hold by pointer.
class UsedObjects : public KRecycledBlocks {
public:
    explicit UsedObjects(const KFbxScene& scene) {
        Reach(&scene);
        Reach(scene.GetRootNode());
        Reach(scene.GetSceneInfo());
        while (!mPending.empty()) {
            const KFbxObject* object = mPending.back();
            mPending.pop_back();
            ReachSources(*object);
            // Asked of the class ids every class states, which a failed
            // dynamic_cast would find only through the whole hierarchy.
            if (object->Is(KFbxGeometry::ClassId)) {
                ReachHeldBy(static_cast<const KFbxGeometry&>(*object));
            } else if (object->Is(KFbxPose::ClassId)) {
                const auto& pose = static_cast<const KFbxPose&>(*object);
                for (int entry = 0; entry < pose.GetCount(); ++entry) {
                    Reach(pose.GetNode(entry));
                }
            }
        }
    }

    bool Contains(const KFbxObject* object) const { return mUsed.count(object) != 0; }

private:
    void Reach(const KFbxObject* object) {
        if (object != nullptr && mUsed.insert(object).second) {
            mPending.push_back(object);
        }
    }

    // The objects among the sources, the ones GetSrcObject gives, read off
    // the twin's own list: a class-filtered read counts through the list
    // again for every index.
    void ReachSources(const KFbxObject& object) {
        const KPlug* internal = object.GetInternalPlug();
        const int count = internal != nullptr ? internal->GetSrcCount() : 0;
        for (int index = 0; index < count; ++index) {
            KPlug* source = internal->GetSrc(index);
            const KFbxObject_internal* twin = KFbxCastToObjectInternal(source);
            const KFbxObject* found =
                twin != nullptr ? twin->GetPublicObject() : KFbxCastToObject(KFbxGetPublicPlug(source));
            if (found != nullptr && found->IsRuntime(KFbxObject::ClassId)) {
                Reach(found);
            }
        }
    }

    // Layers name their materials and textures, and geometry its shapes,
    // by pointer rather than by connection.
    void ReachHeldBy(const KFbxGeometry& geometry) {
        for (int layerIndex = 0; layerIndex < geometry.GetLayerCount(); ++layerIndex) {
            const KFbxLayer* layer = geometry.GetLayer(layerIndex);
            if (const KFbxLayerElementMaterial* materials = layer->GetMaterials()) {
                for (int entry = 0; entry < materials->GetDirectArray().GetCount(); ++entry) {
                    Reach(materials->GetDirectArray().GetAt(entry));
                }
            }
            for (int channel = 0; channel < KFbxLayerElement::eLAST_ELEMENT_TYPE; ++channel) {
                const KFbxLayerElementTexture* textures = layer->GetTexturesOfChannel(channel);
                for (int entry = 0; textures != nullptr && entry < textures->GetDirectArray().GetCount(); ++entry) {
                    Reach(textures->GetDirectArray().GetAt(entry));
                }
            }
        }
        for (int index = 0; index < geometry.GetShapeCount(); ++index) {
            Reach(geometry.GetShape(index));
        }
    }

    KRecycledHashSet<const KFbxObject*> mUsed;
    KRecycledVector<const KFbxObject*> mPending;
};

}  // namespace

KFbxReaderLeftovers::KFbxReaderLeftovers(KFbxSdkManager& manager) : mManager(manager) {
    const int count = manager.GetObjectCount();
    mBefore.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        mBefore.insert(manager.GetObject(KFbxClassId(), index));
    }
}

void KFbxReaderLeftovers::DestroyUnused(const KFbxScene* scene) {
    std::vector<KFbxObject*> unused;
    {
        const std::unique_ptr<UsedObjects> used = scene != nullptr ? std::make_unique<UsedObjects>(*scene) : nullptr;
        const int count = mManager.GetObjectCount();
        for (int index = 0; index < count; ++index) {
            KFbxObject* object = mManager.GetObject(KFbxClassId(), index);
            if (mBefore.count(object) == 0 && (used == nullptr || !used->Contains(object))) {
                unused.push_back(object);
            }
        }
    }
    // Each lets go of its sources first: destroying an object destroys the
    // sources it owns, which may be used, or be on this list themselves. One
    // that keeps a source stays, rather than destroy what it holds twice.
    std::vector<KFbxObject*> released;
    for (KFbxObject* object : unused) {
        while (object->GetSrcObjectCount() > 0) {
            const int before = object->GetSrcObjectCount();
            object->DisconnectSrc(object->GetSrcObject(KFbxClassId(), 0));
            if (object->GetSrcObjectCount() >= before) {
                break;
            }
        }
        if (object->GetSrcObjectCount() == 0) {
            released.push_back(object);
        }
    }
    // Newest first: the manager's list then gives each up at its end,
    // rather than move all the newer ones down one place per object.
    for (auto object = released.rbegin(); object != released.rend(); ++object) {
        (*object)->Destroy(false, false);
    }
}

}  // namespace fbxsdk_2006_11_1
