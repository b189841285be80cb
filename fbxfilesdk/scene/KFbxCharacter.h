// A character binds a body description to the scene: 191 body slots (links)
// that name scene nodes, a control set that rigs them, and a filter set of
// solving parameters that the character publishes as typed properties. It is
// a constraint of its own type, driven by the object connected to its
// "SourceObject" property.
//
// Each named link has a property "<name>Link" of data type "object";
// connecting a node to it fills the link, disconnecting it empties the node
// field. A node that fills a link, an FK link, an effector or an auxiliary
// effector carries a back-link to the character, and destroying the node
// empties that slot.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTER_H
#define FBXFILESDK_SCENE_KFBXCHARACTER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/scene/KFbxCharacterFilterSet.h>
#include <fbxfilesdk/scene/KFbxCharacterLink.h>
#include <fbxfilesdk/scene/KFbxCharacterLinkTable.h>
#include <fbxfilesdk/scene/KFbxCharacterPropertyTable.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>
#include <fbxfilesdk/scene/KFbxControlSet.h>

#include <array>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbxCharacter : public KFbxConstraint {
public:
    // What drives the character, by the driving object's type code.
    enum EInputType { eActorInput = 0, eCharacterInput = 1, eControlSetInput = 2, eNoInput = 4 };

    // The class id of KFbxCharacter; null until the class is registered.
    static KFbxClassId ClassId;

    // Empty links, control set and filter set, the parameter properties
    // loaded from the filter set, the link properties and the take "Default".
    KFbxCharacter(KFbxSdkManager* manager, const char* name);
    // Nodes still linked lose their back-links.
    ~KFbxCharacter() override;

    // Through the manager's factory by the class id; null without one.
    static KFbxCharacter* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    // ---- object operations ----
    KFbxClassId GetClassId() const override;
    // 8: names carry "Constraint::".
    int GetObjectTypeCode() const override { return 8; }
    const char* GetTypeName() const override { return "Character"; }
    KFbxObject_internal* NewInternalObject() override;
    EConstraintType GetConstraintType() const override { return eCHARACTER_CONSTRAINT; }
    // Reset, then the constraint's contents.
    void DestroyContents(bool recursive, bool dependents) override;
    // A node taken or left by a link property fills or empties that link.
    bool ConnectNotify(const KFbxConnectEvent& event) override;
    // A parameter property's setter: clamping and the filter-set entry.
    void PropertyChanged(KFbxProperty& property) override;

    // ---- input ----
    // Input type 0 takes an object of type code 6, 1 a character (8), 2 a
    // control set plug (12); anything else, or a null object, is ignored. The
    // object replaces the sources of "SourceObject", and of "Character" or
    // "ControlSet" for types 1 and 2.
    void SetCharacterInput(int inputType, KFbxObject* object);
    // eNoInput without input or for an input of another type code.
    int GetCharacterInputType() const;
    // The first source of "SourceObject"; null when none.
    KFbxObject* GetCharacterInputObject() const;
    // The first source of "ControlSet"; null when none.
    KFbxObject* GetControlSetInputObject() const;

    KFbxControlSet& GetControlSet() { return *mControlSet; }
    const KFbxControlSet& GetControlSet() const { return *mControlSet; }
    KFbxCharacterFilterSet& GetFilterSet() { return *mFilterSet; }
    const KFbxCharacterFilterSet& GetFilterSet() const { return *mFilterSet; }

    // Empty name, every link emptied (nodes lose their back-links), the
    // control set emptied. Link properties and parameters stay.
    void Reset();

    // ---- links ----
    // False for an id outside 0 to 190 or a link with neither node nor name;
    // a null out-pointer only asks.
    bool GetCharacterLink(int linkId, KFbxCharacterLink* link) const;
    // False for an id outside 0 to 190. The old node loses its back-link, the
    // record is copied in (the slot keeps its own link property), the new
    // node gains the back-link. With connectProperty the link property's
    // sources are replaced by the node.
    bool SetCharacterLink(int linkId, const KFbxCharacterLink& link, bool connectProperty = false);
    // The link of the id's "<name>Link" property; -1 when the property is none.
    int GetLinkIdOfProperty(const KFbxProperty& property) const;
    // A destroyed node leaves the link it filled; the node drops its own record.
    void ForgetLinkNode(int linkId, const KFbxNode* node);

    // ---- parameters ----
    // The parameter property of a row of the character property table; the
    // invalid property out of range.
    KFbxProperty GetParameterProperty(int row) const;

    // ---- link table ----
    static int GetCharacterGroupCount(int group) { return KFbxCharacterGroupCount(group); }
    static int GetCharacterGroupElementByIndex(int group, int index) {
        return KFbxCharacterGroupElementByIndex(group, index);
    }
    static const char* GetCharacterGroupNameByIndex(int group, int index) {
        return KFbxCharacterGroupNameByIndex(group, index);
    }
    static int GetCharacterGroupVersionByIndex(int group, int index) {
        return KFbxCharacterGroupVersionByIndex(group, index);
    }
    static bool FindCharacterGroupIndexByName(const char* name, bool limit, int& group, int& index) {
        return KFbxCharacterFindGroupIndexByName(name, limit, group, index);
    }
    static bool FindCharacterGroupIndexByElement(int linkId, int& group, int& index) {
        return KFbxCharacterFindGroupIndexByElement(linkId, group, index);
    }
    static bool GetCharacterGroupNameFromElement(int linkId, const char*& name) {
        return KFbxCharacterLinkNameFromElement(linkId, name);
    }

private:
    void CreateParameterProperties();
    // Each property from its filter-set entry, without running any setter.
    void LoadFromFilterSet();
    void CreateLinkProperties();
    // -1 when the property is none of the parameter properties.
    int ParameterRowOf(const KFbxProperty& property) const;
    void ApplySetter(int row, KFbxProperty& property);
    KFbxObject* FirstSource(const char* propertyName) const;
    // The links' nodes lose their back-links and the links their nodes.
    void ReleaseLinkNodes();

    std::array<KFbxCharacterLink, kCharacterLinkCount> mLinks;
    std::unique_ptr<KFbxControlSet> mControlSet;
    std::unique_ptr<KFbxCharacterFilterSet> mFilterSet;
    std::array<KFbxProperty, kCharacterPropertyCount> mParameters;
    // Set while properties are loaded or link properties rewired, when the
    // character itself is the cause of the change.
    bool mSilent = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
