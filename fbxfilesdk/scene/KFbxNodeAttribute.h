// The base of everything a node carries (null, marker, camera, light,
// skeleton, geometry ...). An attribute tells its kind by a type code, keeps
// the node it is attached to, and adds its own animation channels to every
// take of that node while attached. Its colour is the "Color" property.
//
// How a kind is made (every attribute class follows it):
// - Its constructor never makes the internal twin: while a base constructor
//   runs, the object is not yet of its final class, so the twin would be the
//   base's. Constructors only register their properties.
// - Its create function constructs it and then calls CreateInternal, e.g.
//   `return KFbxConstructObject<KFbxLight>(manager, name);`
//   (fbxfilesdk/scene/KFbxSceneObjectFactory.h). CreateInternal makes the
//   twin of the final class through NewInternalObject and binds to it every
//   property the constructors registered.
// - A kind with a twin class of its own overrides NewInternalObject and
//   derives its twin from KFbxNodeAttribute_internal.
// - Its public Create asks the manager by class id
//   (KFbxCreateObjectOfClass), so that objects are only ever made through
//   the class table.
// The attribute base itself is abstract: creating it by its class id gives
// null, and so does creating a kind whose class has no create function yet.
#ifndef FBXFILESDK_SCENE_KFBXNODEATTRIBUTE_H
#define FBXFILESDK_SCENE_KFBXNODEATTRIBUTE_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxProperty.h>

namespace fbxsdk_2006_11_1 {

class KFCurve;
class KFbxNode;
class KFbxTakeNode;
class KInternedText;
class KStringList;

class KFbxNodeAttribute : public KFbxObject {
public:
    enum EAttributeType {
        eUNIDENTIFIED = 0,
        eNULL = 1,
        eMARKER = 2,
        eSKELETON = 3,
        eMESH = 4,
        eNURB = 5,
        ePATCH = 6,
        eCAMERA = 7,
        eCAMERA_SWITCHER = 8,
        eLIGHT = 9,
        eOPTICAL_REFERENCE = 10,
        eNURBS_CURVE = 13,
        eTRIM_NURBS_SURFACE = 14,
        eBOUNDARY = 15,
        eNURBS_SURFACE = 16
    };

    // The class id of KFbxNodeAttribute; null until the class is registered.
    static KFbxClassId ClassId;

    // Not attached; "Color" (0.8, 0.8, 0.8) exists, the twin not yet.
    KFbxNodeAttribute(KFbxSdkManager* manager, const char* name);
    ~KFbxNodeAttribute() override;

    // Null: the base alone is no attribute of any kind. Its registration
    // stores it so that a kind without create function of its own does not
    // fall back to a plain object that only claims to be an attribute.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the final class, with the properties registered so far
    // bound to it.
    KPlug* CreateInternal() override;
    // A KFbxNodeAttribute_internal.
    KFbxObject_internal* NewInternalObject() override;
    // 14, the code every node attribute is filed under.
    int GetObjectTypeCode() const override;
    // A node linked one way, which this attribute would hold without the
    // node knowing, is refused with the node's eOneWayLink.
    bool AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) override;
    // Each node that takes the attribute, by whatever call, gets its channels
    // and becomes its node; each node that lets it go loses them, and a node
    // that still carries it becomes its node in place of one that left.
    void DstObjectLinked(KFbxObject& destination, bool linked) override;
    // The attribute first leaves every node that carries it, so that no curve
    // of any of them stays bound to a destroyed property.
    void DestroyContents(bool recursive, bool dependents) override;

    virtual EAttributeType GetAttributeType() const;
    // The kind's own name; "" here.
    const char* GetTypeName() const override;
    // Mode 2: a new attribute of the same class and name made through the
    // manager, with this one's property values; null for other modes.
    virtual KFbxNodeAttribute* Clone(int mode) const;
    // The kind's channels into a take node of its node, and out of it; none here.
    virtual void FillTakeNodeTemplate(KFbxTakeNode& takeNode);
    virtual void ClearTakeNodeTemplate(KFbxTakeNode& takeNode);
    // False only for kinds that keep both of the above empty: attaching and
    // detaching those leaves the node's take nodes alone (and unmade).
    virtual bool HasTakeNodeTemplate() const { return true; }
    // For kinds whose channels follow from nothing but the take node: the
    // two above as steps, which a node's default take made on first use
    // takes when it is made. Null for kinds that read their own values.
    virtual KFbxTakeNodeContainer::TakeNodeStep GetTakeNodeFillStep() const { return nullptr; }
    virtual KFbxTakeNodeContainer::TakeNodeStep GetTakeNodeClearStep() const { return nullptr; }
    // For kinds whose fill makes only channels of their own names, found
    // from nothing but the root, and links only through KFbxLinkChannel: a
    // node whose default take waits to be made keeps them apart until then,
    // so that attaching does not make it.
    virtual bool FillsChannelsAhead() const { return false; }

    // A node that carries the attribute gets the kind's channels into every
    // take node again and becomes its node; nothing for another node.
    void AttachToNode(KFbxNode* node);
    // The channels leave every take node of the attribute's node, which is
    // forgotten until a node takes the attribute again.
    void DetachFromNode();
    // The last node that took the attribute and still carries it, else null.
    KFbxNode* GetNode() const { return mNode; }

    KFbxProperty Color;

protected:
    // The curve of a channel (and component) in the owning node's default
    // take, where the kind's "Default" values live while attached; null
    // without node, default take or channel.
    KFCurve* GetDefaultTakeCurve(const char* channel, const char* component = nullptr) const;
    // Binds the handle to an enum property of the name on this attribute,
    // with the texts of values 0 to count - 1 (a class's table, interned for
    // good), holding the value.
    void InitEnumProperty(KFbxProperty& property, const char* name, const KInternedText* names, std::size_t count,
                          int value);
    static void SetEnumValue(KFbxProperty& property, int value);
    static int GetEnumValue(const KFbxProperty& property);
    // The text of an enum value; null outside 0 to count - 1.
    static const char* EnumText(const char* const* texts, int count, int value);

    // The kind's channels into every take node of a node, and out of them.
    void FillChannelsOf(KFbxNode& node);
    void ClearChannelsOf(KFbxNode& node);

private:
    KFbxNode* mNode = nullptr;
};

}  // namespace fbxsdk_2006_11_1

#endif
