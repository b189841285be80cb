// The base of every constraint: a scene object that ties a constrained object
// to driving objects and keeps the settings of that tie as animatable
// properties. Constraints are stored and exchanged here, never evaluated.
//
// A constraint's properties live on its internal twin; the public object binds
// typed handles to them. Driving objects are connected as sources of the
// class's driving list property, the constrained object as a destination of
// its constrained list property; a list with a limit refuses a connection
// past it. Per-source settings are public properties named after the source
// (its initial name without type prefix) followed by ".Weight", ".Offset T"
// or ".Offset R".
//
// Derived classes build their twin in their own constructor (through
// ConstructTwin), since only the most derived class knows its twin.
#ifndef FBXFILESDK_SCENE_KFBXCONSTRAINT_H
#define FBXFILESDK_SCENE_KFBXCONSTRAINT_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxTakeNode;

class KFbxConstraint : public KFbxTakeNodeContainer {
public:
    enum EConstraintType {
        eUNIDENTIFIED = 0,
        ePOSITION = 1,
        eROTATION = 2,
        eSCALE = 3,
        ePARENT = 4,
        eSINGLECHAIN_IK = 5,
        eAIM = 6,
        eCHARACTER_CONSTRAINT = 7
    };

    // The class id of KFbxConstraint; null until the class is registered.
    static KFbxClassId ClassId;

    // The constraint part only: no twin, no take node yet.
    KFbxConstraint(KFbxSdkManager* manager, const char* name);
    ~KFbxConstraint() override;

    // A plain constraint (type 0) with its twin and default take.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    // ---- object operations ----
    KFbxClassId GetClassId() const override;
    // 13: names carry "Constraint::".
    int GetObjectTypeCode() const override { return 13; }
    KFbxObject_internal* NewInternalObject() override;
    // A list property with a limit refuses an object past it.
    bool ConnectNotify(const KFbxConnectEvent& event) override;
    // A channel for every animatable property of the twin, in its order.
    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override;

    // ---- constraint operations ----
    virtual EConstraintType GetConstraintType() const { return eUNIDENTIFIED; }
    // Writes x, y and z into the class's offset property; nothing here.
    virtual void SetOffset(const KFbxVector4& offset);
    // Mode 2: a new constraint of the same class and name, with its own twin,
    // holding a copy of this one's values, take nodes, per-source properties
    // and connections; null for other modes or when creation fails.
    virtual KFbxConstraint* Clone(int mode) const;
    // Take nodes, the last error, every public property value (per-source
    // properties are made when missing) and the list connections.
    KFbxConstraint& CopyFrom(const KFbxConstraint& other);

    ErrorHolder& GetError() { return mError; }
    const ErrorHolder& GetError() const { return mError; }

    // ---- constrained and driving objects ----
    // The driving list is the class's main source list ("Source", "Source
    // (Parent)", "Aim At Object", "Effector"...); 0 / null without one.
    int GetConstraintSourceCount() const;
    KFbxObject* GetConstraintSource(int index) const;
    // Connects the object as a driving source and gives it a ".Weight"
    // property (and what else the class keeps per source); false for null,
    // for an object already a source, or when the list refuses it.
    virtual bool AddConstraintSource(KFbxObject* source, double weight = 100.0);
    // The source's ".Weight" value; 100 when it has none.
    double GetSourceWeight(const KFbxObject* source) const;
    // Only an existing ".Weight" property changes; false otherwise.
    bool SetSourceWeight(const KFbxObject* source, double weight);
    // The first object of the constrained list; null when none.
    KFbxObject* GetConstrainedObject() const;
    // Replaces the constrained object (null only clears it); false when refused.
    bool SetConstrainedObject(KFbxObject* object);

    // The name of a per-source property: the source's initial name with its
    // first type prefix removed, then the suffix. Empty for a null source.
    static KString GetSourcePropertyName(const KFbxObject* source, const char* suffix);
    // The public property of that name (case-sensitive); invalid when none.
    KFbxProperty FindSourceProperty(const KFbxObject* source, const char* suffix) const;
    // (x, y, z, 1) from a three-double property; (0, 0, 0, 1) when invalid.
    static KFbxVector4 ReadVector(const KFbxProperty& property);

protected:
    // The derived constructor's steps once it is the most derived: the twin,
    // the take "Default", the twin named after the object, then a public
    // handle for every twin property.
    void ConstructTwin();
    // Each shares the object's property of the name (making it when there is
    // none) and sets the default and flags of its kind: value handles of
    // doubles and vectors are animatable with flag 8, the others flagless.
    void InitBoolHandle(KFbxTypedProperty<bool>& handle, const char* name, bool value);
    void InitNumberHandle(KFbxTypedProperty<double>& handle, const char* name, const KFbxDataType& dataType,
                          double value);
    void InitVectorHandle(KFbxTypedProperty<fbxDouble3>& handle, const char* name, const fbxDouble3& value);
    void InitObjectHandle(KFbxProperty& handle, const char* name);
    void InitEnumHandle(KFbxProperty& handle, const char* name);
    // The handles GetConstraintSource and GetConstrainedObject read.
    void SetListHandles(KFbxProperty* constrainedList, KFbxProperty* sourceList);
    // Writes x, y, z into a vector handle.
    static void WriteVector(KFbxTypedProperty<fbxDouble3>& handle, const KFbxVector4& value);
    // The value of an enumeration handle; 0 when invalid.
    static int ReadEnum(const KFbxProperty& property);
    static void WriteEnum(KFbxProperty& property, int value);
    // A per-source property, made animatable with flag 8 when missing.
    KFbxProperty MakeSourceProperty(const KFbxObject* source, const char* suffix, const KFbxDataType& dataType);

private:
    // The twin's limit for the list property the handle stands for; 0 when
    // the handle is no limited list of this constraint.
    int ListLimitOf(const KFbxPlug* plug, bool& readsSources) const;
    void CopyPropertiesFrom(const KFbxConstraint& other);

    ErrorHolder mError;
    KFbxProperty* mConstrainedList = nullptr;
    KFbxProperty* mSourceList = nullptr;
};

}  // namespace fbxsdk_2006_11_1

#endif
