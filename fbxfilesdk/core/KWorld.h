// The registry of the internal object layer: every object attached to a world
// gets a small integer id, some of its properties get ids of their own, and the
// world numbers the nodes of a small tree. Ids are reused lowest first, so they
// stay dense and index plain tables. One world is global while any SDK manager
// exists; worlds are used from one thread.
#ifndef FBXFILESDK_CORE_KWORLD_H
#define FBXFILESDK_CORE_KWORLD_H

#include <fbxfilesdk/core/KIdRangeSet.h>

#include <cstdint>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KObject;
class KProperty;
class KWorld;

// A node of a world's tree. Each child holds a reference on its parent.
struct KWorldNode {
    KWorld* mWorld;
    int mRefCount;
    // -1 once released.
    int mId;
    int mType;
    // Made only for nodes of type 1.
    KWorldNode* mSubNode;
    KWorldNode* mParent;
    std::vector<KWorldNode*> mChildren;
    // The parent's group, 1 for a node without parent.
    int mGroup;
    int mActive;
    // Process-wide creation order.
    std::uint32_t mSerial;
};

class KWorld {
public:
    // Property ids are kept in a 16-bit field where this value means none.
    static constexpr int kNoPropertyId = 0xFFFF;

    // Null when memory runs out.
    static KWorld* Create();
    // Null allowed.
    static void Delete(KWorld* world);
    static KWorld* GetGlobal();
    static void SetGlobal(KWorld* world);

    KWorld(const KWorld&) = delete;
    KWorld& operator=(const KWorld&) = delete;

    // The object side of attaching and detaching: an object takes the lowest
    // free object id and its table slot, and gives them back. The object
    // stores the world and the id; each of its properties flagged for an id
    // takes one through AddProperty. -1 when memory runs out.
    int AddObject(KObject* object);
    void RemoveObject(int objectId);
    // Null for an id with no object.
    KObject* GetObject(int objectId) const;
    int GetObjectTableSize() const { return static_cast<int>(mObjects.size()); }

    // The lowest free property id; -1 when memory runs out or when every id
    // that fits the 16-bit field below kNoPropertyId is taken.
    int AddProperty(KProperty* property);
    void RemoveProperty(int propertyId);
    KProperty* GetProperty(int propertyId) const;

    // A node of the type under the parent (null: none) with a fresh node id;
    // the parent gains a reference. Null without a world or when memory runs out.
    static KWorldNode* CreateNode(KWorld* world, int type, KWorldNode* parent);
    // Drops one reference: at 1 a node's sub-node is released, at 0 the node
    // gives its id back, leaves its parent (releasing it) and is freed.
    static void ReleaseNode(KWorldNode* node);
    KWorldNode* GetRoot(int index) const { return index == 0 ? mRoot0 : index == 1 ? mRoot1 : nullptr; }

    const KIdRangeSet& GetObjectIds() const { return mObjectIds; }
    const KIdRangeSet& GetPropertyIds() const { return mPropertyIds; }
    const KIdRangeSet& GetNodeIds() const { return mNodeIds; }

protected:
    KWorld() = default;
    virtual ~KWorld();

private:
    KWorldNode* mRoot0 = nullptr;
    KWorldNode* mRoot1 = nullptr;
    KIdRangeSet mNodeIds;
    KIdRangeSet mObjectIds;
    std::vector<KObject*> mObjects;
    KIdRangeSet mPropertyIds;
    std::vector<KProperty*> mProperties;
};

}  // namespace fbxsdk_2006_11_1

#endif
