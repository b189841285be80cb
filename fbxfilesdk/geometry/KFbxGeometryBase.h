// A layer container with control points: the base of shapes and geometries.
// Layer 0 carries the geometry's main normals, materials, UVs and textures;
// the Init operations make its elements, the Get operations read them.
#ifndef FBXFILESDK_GEOMETRY_KFBXGEOMETRYBASE_H
#define FBXFILESDK_GEOMETRY_KFBXGEOMETRYBASE_H

#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>

#include <memory>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxGeometryBase : public KFbxLayerContainer {
public:
    // The class id of KFbxGeometryBase; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxGeometryBase(KFbxSdkManager* manager, const char* name);
    ~KFbxGeometryBase() override;

    // Constructs a geometry base with its twin; null when memory runs out.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;

    // ---- control points ----
    // count points (0, 0, 0, 0); a negative count is refused, nothing changes.
    virtual void InitControlPoints(int count);
    virtual int GetControlPointsCount() const;
    // Null without points.
    virtual KFbxVector4* GetControlPoints();
    virtual const KFbxVector4* GetControlPoints() const;
    // Point index, and normal index of layer 0's normal element when there
    // is one; both grow to index + 1 when needed. A negative index, or one
    // too large to grow to, is refused; false then.
    bool SetControlPointAt(const KFbxVector4& point, const KFbxVector4& normal, int index);
    // The points become those of base with each change (index, point) put
    // in; they are made whole only when first asked for, so that many
    // geometries over one base (the shapes of a mesh) cost their changes
    // alone until then. Changes out of the base's range are ignored. False,
    // unchanged, for a null base or when memory runs out.
    bool SetControlPointsOver(std::shared_ptr<const std::vector<KFbxVector4>> base,
                              std::vector<std::pair<int, KFbxVector4>> changes);
    // Whether the points are still a base and its changes.
    bool HasDeferredControlPoints() const { return mDeferred != nullptr; }
    // Point index, read where it is without making deferred points whole;
    // (0, 0, 0, 0) out of range.
    KFbxVector4 GetControlPointAt(int index) const;

    // ---- normals ----
    // Layer 0's normals become an element of the name, by control point and
    // direct, holding base with each change (index, normal) put in. They are
    // put in only when the layers are first asked for, so that many shapes
    // over one mesh's normals cost their changes alone until then. Changes
    // out of the base's range are ignored. False, unchanged, for a null base
    // or when memory runs out.
    bool SetNormalsOver(std::shared_ptr<const std::vector<KFbxVector4>> base,
                        std::vector<std::pair<int, KFbxVector4>> changes, const char* name);
    // Whether layer 0's normals are still a base and its changes.
    bool HasDeferredNormals() const { return mDeferredNormals != nullptr; }
    // Layer 0 and its normal element are made when missing. Count 0 means
    // the control-point count; mapping by control point when the count is
    // that of the control points, else by polygon vertex; reference direct;
    // the direct array sized to the count. A negative count is refused.
    void InitNormals(int count = 0);
    // Layer 0's normal direct array; null without layer 0, its normals or items.
    KFbxVector4* GetNormals() const;
    // Of layer 0's normal element; none without one.
    KFbxLayerElement::EMappingMode GetNormalsMappingMode() const;

    // ---- materials ----
    // Layer 0's material element is made when missing: by polygon for
    // mapping by polygon, else all same; reference index to direct.
    void InitMaterialIndices(KFbxLayerElement::EMappingMode mapping);
    // Of layer 0's material element; none without one.
    KFbxLayerElement::EMappingMode GetMaterialMappingMode() const;
    // Its index array; null without the element.
    DynamicArrayOf<int>* GetMaterialIndices() const;

    // ---- UVs of a texture channel ----
    // Layer 0's UV element of the channel is made when missing, with the
    // mapping and reference index to direct. Ignored for a type that is not
    // a texture channel.
    void InitTextureUVMapping(KFbxLayerElement::EMappingMode mapping,
                              int channel = KFbxLayerElement::eDIFFUSE_TEXTURES);
    // By control point or by polygon vertex; none otherwise or without the element.
    KFbxLayerElement::EMappingMode GetTextureUVMappingMode(int channel = KFbxLayerElement::eDIFFUSE_TEXTURES) const;
    // The element's direct array; null without layer 0, the element or items.
    KFbxVector2* GetTextureUVArray(int channel = KFbxLayerElement::eDIFFUSE_TEXTURES) const;
    int GetTextureUVCount(int channel = KFbxLayerElement::eDIFFUSE_TEXTURES) const;
    // Sizes the direct array; false without the element or for a negative count.
    bool SetTextureUVCount(int count, int channel = KFbxLayerElement::eDIFFUSE_TEXTURES);
    // Appends to the direct array; its index, or -1 without the element.
    int AddTextureUV(const KFbxVector2& uv, int channel = KFbxLayerElement::eDIFFUSE_TEXTURES);

    // ---- diffuse textures ----
    // Layer 0's diffuse texture element is made when missing: by polygon for
    // mapping by polygon, else all same.
    void InitTextureIndices(KFbxLayerElement::EMappingMode mapping);
    // By polygon or all same; none otherwise or without the element.
    KFbxLayerElement::EMappingMode GetTextureMappingMode() const;
    // Its index array; null without the element.
    DynamicArrayOf<int>* GetTextureIndices() const;

protected:
    // The points and layers become copies of the other's; false, unchanged,
    // when memory runs out.
    bool CopyGeometryBase(const KFbxGeometryBase& other);
    // Layer 0, made when missing; null when memory runs out.
    KFbxLayer* GetOrCreateLayer0() { return GetOrCreateLayer(0); }
    // Puts deferred normals in place.
    void CompleteLayers() const override;

private:
    struct DeferredPoints {
        std::shared_ptr<const std::vector<KFbxVector4>> mBase;
        std::vector<std::pair<int, KFbxVector4>> mChanges;
    };
    struct DeferredNormals : DeferredPoints {
        KString mName;
    };

    // Makes deferred points whole; false (still deferred) when memory runs out.
    bool MakePointsWhole() const;

    // Filled in on first use while deferred points wait in mDeferred.
    mutable std::vector<KFbxVector4> mControlPoints;
    mutable std::unique_ptr<DeferredPoints> mDeferred;
    // Layer 0's normals, put in by CompleteLayers.
    mutable std::unique_ptr<DeferredNormals> mDeferredNormals;
};

}  // namespace fbxsdk_2006_11_1

#endif
