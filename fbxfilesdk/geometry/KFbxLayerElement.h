// Layer elements: one kind of per-geometry data (normals, materials, UVs ...)
// and how it maps onto the geometry. An element holds a direct array of
// values and an index array into it; the mapping mode says what one entry
// stands for (a control point, a polygon vertex, a polygon, an edge or the
// whole geometry) and the reference mode whether entries are the values
// themselves, indices, or indices into the direct array.
#ifndef FBXFILESDK_GEOMETRY_KFBXLAYERELEMENT_H
#define FBXFILESDK_GEOMETRY_KFBXLAYERELEMENT_H

#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/geometry/KFbxColorArray.h>
#include <fbxfilesdk/geometry/KFbxLayerElementObjectArray.h>

#include <cstddef>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxSurfaceMaterial;
class KFbxTexture;

class KFbxLayerElement {
public:
    enum EMappingMode {
        eNONE = 0,
        eBY_CONTROL_POINT = 1,
        eBY_POLYGON_VERTEX = 2,
        eBY_POLYGON = 3,
        eBY_EDGE = 4,
        eALL_SAME = 5
    };
    enum EReferenceMode { eDIRECT = 0, eINDEX = 1, eINDEX_TO_DIRECT = 2 };
    // The kinds a layer holds; 3 and 10 to 23 are the texture channels, whose
    // numbers also name the UV element of each channel.
    enum ELayerElementType {
        eUNDEFINED = 0,
        eNORMAL = 1,
        eMATERIAL = 2,
        eDIFFUSE_TEXTURES = 3,
        ePOLYGON_GROUP = 4,
        eUV = 5,
        eVERTEX_COLOR = 6,
        eSMOOTHING = 7,
        eUSER_DATA = 8,
        eVISIBILITY = 9,
        eEMISSIVE_TEXTURES = 10,
        eEMISSIVE_FACTOR_TEXTURES = 11,
        eAMBIENT_TEXTURES = 12,
        eAMBIENT_FACTOR_TEXTURES = 13,
        eDIFFUSE_FACTOR_TEXTURES = 14,
        eSPECULAR_TEXTURES = 15,
        eNORMALMAP_TEXTURES = 16,
        eSPECULAR_FACTOR_TEXTURES = 17,
        eSHININESS_TEXTURES = 18,
        eBUMP_TEXTURES = 19,
        eTRANSPARENT_TEXTURES = 20,
        eTRANSPARENCY_FACTOR_TEXTURES = 21,
        eREFLECTION_TEXTURES = 22,
        eREFLECTION_FACTOR_TEXTURES = 23,
        eLAST_ELEMENT_TYPE = 24
    };

    // 3 and 10 to 23.
    static bool IsTextureChannel(int type);

    explicit KFbxLayerElement(const char* name = "");
    virtual ~KFbxLayerElement();
    KFbxLayerElement(const KFbxLayerElement&) = delete;
    KFbxLayerElement& operator=(const KFbxLayerElement&) = delete;

    // A new element of the same kind with the same contents; null when
    // memory runs out.
    virtual KFbxLayerElement* Clone() const = 0;

    void SetMappingMode(EMappingMode mode) { mMappingMode = mode; }
    EMappingMode GetMappingMode() const { return mMappingMode; }
    void SetReferenceMode(EReferenceMode mode) { mReferenceMode = mode; }
    EReferenceMode GetReferenceMode() const { return mReferenceMode; }
    // Null counts as "".
    void SetName(const char* name);
    const char* GetName() const { return mName.Buffer(); }

    DynamicArrayOf<int>& GetIndexArray() { return mIndexArray; }
    const DynamicArrayOf<int>& GetIndexArray() const { return mIndexArray; }
    // Whether a layer holds the element, and so will destroy it.
    bool IsHeldByLayer() const { return mHeldByLayer; }

protected:
    // Modes, name and index array; false when memory runs out.
    bool CopyBaseFrom(const KFbxLayerElement& other);

private:
    friend class KFbxLayer;
    friend class KFbxSdkManager;
    friend class KFbxLayerElementPoolSet;

    EMappingMode mMappingMode = eNONE;
    EReferenceMode mReferenceMode = eDIRECT;
    KString mName;
    DynamicArrayOf<int> mIndexArray;
    // Set by the layer slot that takes the element; a copy starts unheld.
    bool mHeldByLayer = false;
    // The manager pool that made the element, and its slot there: the
    // element leaves the pool when it goes first.
    std::vector<KFbxLayerElement*>* mPool = nullptr;
    std::size_t mPoolSlot = 0;
};

// An element whose direct array holds values of T.
template <class T, class Array = DynamicArrayOf<T>>
class KFbxLayerElementTemplate : public KFbxLayerElement {
public:
    using KFbxLayerElement::KFbxLayerElement;

    Array& GetDirectArray() { return mDirectArray; }
    const Array& GetDirectArray() const { return mDirectArray; }

    // Everything the element holds; false when memory runs out. Defined for
    // the kinds below only.
    bool CopyFrom(const KFbxLayerElementTemplate& other);

private:
    Array mDirectArray;
};

class KFbxLayerElementNormal : public KFbxLayerElementTemplate<KFbxVector4> {
public:
    using KFbxLayerElementTemplate::KFbxLayerElementTemplate;
    KFbxLayerElement* Clone() const override;
};

// Holds its materials by handle: a destroyed one reads as none.
class KFbxLayerElementMaterial
    : public KFbxLayerElementTemplate<KFbxSurfaceMaterial*, KFbxLayerElementObjectArray<KFbxSurfaceMaterial>> {
public:
    using KFbxLayerElementTemplate::KFbxLayerElementTemplate;
    KFbxLayerElement* Clone() const override;
};

class KFbxLayerElementPolygonGroup : public KFbxLayerElementTemplate<int> {
public:
    using KFbxLayerElementTemplate::KFbxLayerElementTemplate;
    KFbxLayerElement* Clone() const override;
};

class KFbxLayerElementUV : public KFbxLayerElementTemplate<KFbxVector2> {
public:
    using KFbxLayerElementTemplate::KFbxLayerElementTemplate;
    KFbxLayerElement* Clone() const override;
};

class KFbxLayerElementVertexColor : public KFbxLayerElementTemplate<KFbxColor, KFbxColorArray> {
public:
    using KFbxLayerElementTemplate::KFbxLayerElementTemplate;
    KFbxLayerElement* Clone() const override;
};

class KFbxLayerElementSmoothing : public KFbxLayerElementTemplate<bool> {
public:
    using KFbxLayerElementTemplate::KFbxLayerElementTemplate;
    KFbxLayerElement* Clone() const override;
};

class KFbxLayerElementVisibility : public KFbxLayerElementTemplate<bool> {
public:
    using KFbxLayerElementTemplate::KFbxLayerElementTemplate;
    KFbxLayerElement* Clone() const override;
};

// The textures of one channel, held by handle as the materials are. Unlike
// the other kinds it starts with reference mode index-to-direct.
class KFbxLayerElementTexture
    : public KFbxLayerElementTemplate<KFbxTexture*, KFbxLayerElementObjectArray<KFbxTexture>> {
public:
    enum EBlendMode { eTRANSLUCENT = 0, eADDITIVE = 1, eMODULATE = 2, eMODULATE2 = 3, eMAXBLEND = 4 };

    explicit KFbxLayerElementTexture(const char* name = "");
    KFbxLayerElement* Clone() const override;

    void SetBlendMode(EBlendMode mode) { mBlendMode = mode; }
    EBlendMode GetBlendMode() const { return mBlendMode; }
    void SetAlpha(double alpha) { mAlpha = alpha; }
    double GetAlpha() const { return mAlpha; }

private:
    EBlendMode mBlendMode = eTRANSLUCENT;
    double mAlpha = 1.0;
};

}  // namespace fbxsdk_2006_11_1

#endif
