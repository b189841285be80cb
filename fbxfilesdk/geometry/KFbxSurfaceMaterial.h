// The base of surface materials: an animatable object with a shading-model
// text and a multi-layer flag. Lambert and Phong materials add their colour
// and factor properties; every material copies itself property by property.
#ifndef FBXFILESDK_GEOMETRY_KFBXSURFACEMATERIAL_H
#define FBXFILESDK_GEOMETRY_KFBXSURFACEMATERIAL_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxSurfaceMaterial : public KFbxTakeNodeContainer {
public:
    // The class id of KFbxSurfaceMaterial; null until the class is registered.
    static KFbxClassId ClassId;

    // The shading model is "" for a plain material.
    KFbxSurfaceMaterial(KFbxSdkManager* manager, const char* name);
    ~KFbxSurfaceMaterial() override;

    // Through the manager's class table; null when the class is unknown or
    // memory runs out.
    static KFbxSurfaceMaterial* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the class, KFbxSurfaceMaterial_internal.
    KFbxObject_internal* NewInternalObject() override;
    // Materials are stored under "Material::".
    int GetObjectTypeCode() const override;

    // The "ShadingModel" text ("Lambert", "Phong", ...).
    KFbxProperty GetShadingModel() const { return mShadingModel; }
    // The "MultiLayer" flag.
    KFbxProperty GetMultiLayer() const { return mMultiLayer; }

    // Mode 2 only: a material of the same class and name through the same
    // manager, carrying every property value of this one (a property the
    // copy lacks is first made with the same name and data type). Null for
    // any other mode or when the copy cannot be made.
    virtual KFbxSurfaceMaterial* Clone(int mode) const;

protected:
    KFbxSurfaceMaterial(KFbxSdkManager* manager, const char* name, const char* shadingModel);

    // A member property that the object destroys with itself; the invalid
    // property when memory runs out.
    KFbxProperty MakeProperty(const char* name, const KFbxDataType& dataType);
    KFbxProperty MakeColor(const char* name, double red, double green, double blue);
    KFbxProperty MakeFactor(const char* name, double value);
    // Clone for the given class, which must be this object's or a base of it.
    KFbxSurfaceMaterial* CloneAs(const KFbxClassId& classId, int mode) const;

private:
    KFbxProperty mShadingModel;
    KFbxProperty mMultiLayer;
};

}  // namespace fbxsdk_2006_11_1

#endif
