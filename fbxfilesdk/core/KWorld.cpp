#include <fbxfilesdk/core/KWorld.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

KWorld* gGlobalWorld = nullptr;
std::uint32_t gNodeSerial = 0;

constexpr int kSubNodeType = 1;

// Grows the table to hold index and stores item there; false when memory runs out.
template <class T>
bool StoreAt(std::vector<T*>& table, int index, T* item) {
    try {
        if (static_cast<int>(table.size()) <= index) {
            table.resize(index + 1, nullptr);
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    table[index] = item;
    return true;
}

}  // namespace

KWorld* KWorld::Create() {
    KWorld* world = new (std::nothrow) KWorld();
    if (world == nullptr) {
        return nullptr;
    }
    world->mRoot0 = CreateNode(world, 0, nullptr);
    world->mRoot1 = CreateNode(world, 0, nullptr);
    if (world->mRoot0 == nullptr || world->mRoot1 == nullptr) {
        delete world;
        return nullptr;
    }
    return world;
}

void KWorld::Delete(KWorld* world) { delete world; }

KWorld::~KWorld() {
    // Roots that still have children keep them: those nodes belong to whoever
    // made them.
    ReleaseNode(mRoot0);
    ReleaseNode(mRoot1);
    if (gGlobalWorld == this) {
        gGlobalWorld = nullptr;
    }
}

KWorld* KWorld::GetGlobal() { return gGlobalWorld; }

void KWorld::SetGlobal(KWorld* world) { gGlobalWorld = world; }

int KWorld::AddObject(KObject* object) {
    const int id = mObjectIds.TakeLowestFree();
    if (id == -1) {
        return -1;
    }
    if (!StoreAt(mObjects, id, object)) {
        mObjectIds.ClearBit(id);
        return -1;
    }
    return id;
}

void KWorld::RemoveObject(int objectId) {
    if (objectId < 0) {
        return;
    }
    mObjectIds.ClearBit(objectId);
    if (objectId < static_cast<int>(mObjects.size())) {
        mObjects[objectId] = nullptr;
    }
}

KObject* KWorld::GetObject(int objectId) const {
    return objectId >= 0 && objectId < static_cast<int>(mObjects.size()) ? mObjects[objectId] : nullptr;
}

int KWorld::AddProperty(KProperty* property) {
    const int id = mPropertyIds.TakeLowestFree();
    if (id == -1) {
        return -1;
    }
    if (id >= kNoPropertyId || !StoreAt(mProperties, id, property)) {
        mPropertyIds.ClearBit(id);
        return -1;
    }
    return id;
}

void KWorld::RemoveProperty(int propertyId) {
    if (propertyId < 0 || propertyId >= kNoPropertyId) {
        return;
    }
    mPropertyIds.ClearBit(propertyId);
    if (propertyId < static_cast<int>(mProperties.size())) {
        mProperties[propertyId] = nullptr;
    }
}

KProperty* KWorld::GetProperty(int propertyId) const {
    return propertyId >= 0 && propertyId < static_cast<int>(mProperties.size()) ? mProperties[propertyId]
                                                                                : nullptr;
}

KWorldNode* KWorld::CreateNode(KWorld* world, int type, KWorldNode* parent) {
    if (world == nullptr) {
        return nullptr;
    }
    KWorldNode* node = new (std::nothrow) KWorldNode{world, 1, -1, type, nullptr, parent, {}, 1, 1, ++gNodeSerial};
    if (node == nullptr) {
        return nullptr;
    }
    if (parent != nullptr) {
        try {
            parent->mChildren.push_back(node);
        } catch (const std::bad_alloc&) {
            SdkNoteAllocationFailure();
            delete node;
            return nullptr;
        }
        ++parent->mRefCount;
        node->mGroup = parent->mGroup;
    }
    node->mId = world->mNodeIds.TakeLowestFree();
    if (type == kSubNodeType) {
        // The sub-node is a plain node: one of type 1 would make another
        // sub-node, and so on without end.
        node->mSubNode = CreateNode(world, 0, node);
    }
    return node;
}

void KWorld::ReleaseNode(KWorldNode* node) {
    if (node == nullptr) {
        return;
    }
    --node->mRefCount;
    if (node->mRefCount == 1 && node->mSubNode != nullptr) {
        KWorldNode* subNode = node->mSubNode;
        node->mSubNode = nullptr;
        ReleaseNode(subNode);
        return;
    }
    if (node->mRefCount > 0) {
        return;
    }
    if (node->mId != -1) {
        node->mWorld->mNodeIds.ClearBit(node->mId);
        node->mId = -1;
    }
    // Children left by an over-release lose their parent rather than point at freed memory.
    for (KWorldNode* child : node->mChildren) {
        child->mParent = nullptr;
    }
    if (KWorldNode* parent = node->mParent) {
        std::vector<KWorldNode*>& siblings = parent->mChildren;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
        ReleaseNode(parent);
    }
    delete node;
}

}  // namespace fbxsdk_2006_11_1
