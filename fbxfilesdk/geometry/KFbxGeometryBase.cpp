#include <fbxfilesdk/geometry/KFbxGeometryBase.h>
#include <fbxfilesdk/core/KLargeArrayGrowth.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>

#include <algorithm>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// Layer 0's UV element of the channel; null when there is none.
KFbxLayerElementUV* UVsOf(const KFbxLayerContainer& container, int channel) {
    const KFbxLayer* layer = container.GetLayer(0);
    return layer != nullptr ? layer->GetUVs(channel) : nullptr;
}

// Counts beyond this are refused: a DynamicArray counts its items in an int
// and its bytes must fit as well.
constexpr int kMaxItems = (1 << 30) / static_cast<int>(sizeof(KFbxVector4));

}  // namespace


KFbxGeometryBase::KFbxGeometryBase(KFbxSdkManager* manager, const char* name) : KFbxLayerContainer(manager, name) {}

KFbxGeometryBase::~KFbxGeometryBase() = default;

KFbxPlug* KFbxGeometryBase::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* geometry = new (std::nothrow) KFbxGeometryBase(manager, name);
    if (geometry != nullptr) {
        geometry->CreateInternal();
    }
    return geometry;
}

KFbxClassId KFbxGeometryBase::GetClassId() const { return ClassId; }

// ---- control points ---------------------------------------------------------

void KFbxGeometryBase::InitControlPoints(int count) {
    if (count < 0 || count > kMaxItems) {
        return;
    }
    try {
        std::vector<KFbxVector4> points;
        KReserveLarge(points, static_cast<std::size_t>(count));
        points.resize(static_cast<std::size_t>(count));
        mControlPoints.swap(points);
        mDeferred.reset();
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
    }
}

namespace {

using Changes = std::vector<std::pair<int, KFbxVector4>>;

// Sorted by index, the last change of an index first among its equals, so
// that a look-up finds the one that counts.
void SortChanges(Changes& changes) {
    std::reverse(changes.begin(), changes.end());
    std::stable_sort(changes.begin(), changes.end(),
                     [](const auto& left, const auto& right) { return left.first < right.first; });
}

// A deferral of the base and its changes, sorted; null for a null base, one
// too large, or when memory runs out.
template <class Deferred>
std::unique_ptr<Deferred> MakeDeferral(std::shared_ptr<const std::vector<KFbxVector4>> base, Changes changes) {
    if (base == nullptr || base->size() > static_cast<std::size_t>(kMaxItems)) {
        return nullptr;
    }
    auto deferred = std::unique_ptr<Deferred>(new (std::nothrow) Deferred);
    if (deferred == nullptr) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
    SortChanges(changes);
    deferred->mBase = std::move(base);
    deferred->mChanges = std::move(changes);
    return deferred;
}

// The base with its sorted changes put in; throws std::bad_alloc.
std::vector<KFbxVector4> Whole(const std::vector<KFbxVector4>& base, const Changes& changes) {
    std::vector<KFbxVector4> items(base);
    // From the last, so that the first change of an index, the one that counts, is put in last.
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        const int index = change->first;
        if (index >= 0 && static_cast<std::size_t>(index) < items.size()) {
            items[static_cast<std::size_t>(index)] = change->second;
        }
    }
    return items;
}

}  // namespace

bool KFbxGeometryBase::SetControlPointsOver(std::shared_ptr<const std::vector<KFbxVector4>> base,
                                            std::vector<std::pair<int, KFbxVector4>> changes) {
    auto deferred = MakeDeferral<DeferredPoints>(std::move(base), std::move(changes));
    if (deferred == nullptr) {
        return false;
    }
    mDeferred = std::move(deferred);
    std::vector<KFbxVector4>().swap(mControlPoints);
    return true;
}

bool KFbxGeometryBase::MakePointsWhole() const {
    if (mDeferred == nullptr) {
        return true;
    }
    try {
        std::vector<KFbxVector4> points = Whole(*mDeferred->mBase, mDeferred->mChanges);
        mControlPoints.swap(points);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    mDeferred.reset();
    return true;
}

bool KFbxGeometryBase::SetNormalsOver(std::shared_ptr<const std::vector<KFbxVector4>> base,
                                      std::vector<std::pair<int, KFbxVector4>> changes, const char* name) {
    auto deferred = MakeDeferral<DeferredNormals>(std::move(base), std::move(changes));
    if (deferred == nullptr) {
        return false;
    }
    deferred->mName = name != nullptr ? name : "";
    mDeferredNormals = std::move(deferred);
    return true;
}

void KFbxGeometryBase::CompleteLayers() const {
    if (mDeferredNormals == nullptr) {
        return;
    }
    // Taken out first: making layer 0 asks for the layers again.
    std::unique_ptr<DeferredNormals> deferred = std::move(mDeferredNormals);
    // Geometries are made by their manager, never const themselves; only
    // the moment their layers are made is held back.
    auto* self = const_cast<KFbxGeometryBase*>(this);
    try {
        const std::vector<KFbxVector4> normals = Whole(*deferred->mBase, deferred->mChanges);
        auto element = std::make_unique<KFbxLayerElementNormal>(deferred->mName.Buffer());
        element->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
        element->SetReferenceMode(KFbxLayerElement::eDIRECT);
        DynamicArrayOf<KFbxVector4>& direct = element->GetDirectArray();
        KFbxLayer* layer = self->GetOrCreateLayer(0);
        if (layer == nullptr || !direct.SetCount(static_cast<int>(normals.size()))) {
            mDeferredNormals = std::move(deferred);
            return;
        }
        for (std::size_t i = 0; i < normals.size(); ++i) {
            direct.SetAt(static_cast<int>(i), normals[i]);
        }
        layer->SetNormals(element.release());
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        mDeferredNormals = std::move(deferred);
    }
}

int KFbxGeometryBase::GetControlPointsCount() const {
    return static_cast<int>(mDeferred != nullptr ? mDeferred->mBase->size() : mControlPoints.size());
}

KFbxVector4 KFbxGeometryBase::GetControlPointAt(int index) const {
    if (index < 0 || index >= GetControlPointsCount()) {
        return KFbxVector4(0.0, 0.0, 0.0, 0.0);
    }
    if (mDeferred == nullptr) {
        return mControlPoints[static_cast<std::size_t>(index)];
    }
    const auto& changes = mDeferred->mChanges;
    const auto found = std::lower_bound(changes.begin(), changes.end(), index,
                                        [](const auto& change, int wanted) { return change.first < wanted; });
    if (found != changes.end() && found->first == index) {
        return found->second;
    }
    return (*mDeferred->mBase)[static_cast<std::size_t>(index)];
}

KFbxVector4* KFbxGeometryBase::GetControlPoints() {
    if (!MakePointsWhole()) {
        return nullptr;
    }
    return mControlPoints.empty() ? nullptr : mControlPoints.data();
}

const KFbxVector4* KFbxGeometryBase::GetControlPoints() const {
    if (!MakePointsWhole()) {
        return nullptr;
    }
    return mControlPoints.empty() ? nullptr : mControlPoints.data();
}

bool KFbxGeometryBase::SetControlPointAt(const KFbxVector4& point, const KFbxVector4& normal, int index) {
    if (index < 0 || index >= kMaxItems) {
        return false;
    }
    const KFbxLayer* layer = GetLayer(0);
    KFbxLayerElementNormal* normals = layer != nullptr ? layer->GetNormals() : nullptr;
    if (normals != nullptr) {
        DynamicArrayOf<KFbxVector4>& direct = normals->GetDirectArray();
        if (index >= direct.GetCount() && !direct.Grow(index + 1 - direct.GetCount())) {
            return false;
        }
    }
    if (!MakePointsWhole()) {
        return false;
    }
    try {
        if (index >= GetControlPointsCount()) {
            mControlPoints.resize(static_cast<std::size_t>(index) + 1);
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    mControlPoints[static_cast<std::size_t>(index)] = point;
    if (normals != nullptr) {
        normals->GetDirectArray().SetAt(index, normal);
    }
    return true;
}

// ---- normals ----------------------------------------------------------------

void KFbxGeometryBase::InitNormals(int count) {
    if (count < 0 || count > kMaxItems) {
        return;
    }
    KFbxLayer* layer = GetOrCreateLayer0();
    if (layer == nullptr) {
        return;
    }
    KFbxLayerElementNormal* normals = layer->GetNormals();
    if (normals == nullptr) {
        normals = new (std::nothrow) KFbxLayerElementNormal();
        if (normals == nullptr) {
            return;
        }
        layer->SetNormals(normals);
    }
    const int controlPoints = GetControlPointsCount();
    const bool byControlPoint = count == 0 || count == controlPoints;
    normals->SetMappingMode(byControlPoint ? KFbxLayerElement::eBY_CONTROL_POINT
                                           : KFbxLayerElement::eBY_POLYGON_VERTEX);
    normals->SetReferenceMode(KFbxLayerElement::eDIRECT);
    normals->GetDirectArray().SetCount(byControlPoint ? controlPoints : count);
}

KFbxVector4* KFbxGeometryBase::GetNormals() const {
    const KFbxLayer* layer = GetLayer(0);
    KFbxLayerElementNormal* normals = layer != nullptr ? layer->GetNormals() : nullptr;
    return normals != nullptr ? normals->GetDirectArray().GetArray() : nullptr;
}

KFbxLayerElement::EMappingMode KFbxGeometryBase::GetNormalsMappingMode() const {
    const KFbxLayer* layer = GetLayer(0);
    const KFbxLayerElementNormal* normals = layer != nullptr ? layer->GetNormals() : nullptr;
    return normals != nullptr ? normals->GetMappingMode() : KFbxLayerElement::eNONE;
}

// ---- materials --------------------------------------------------------------

void KFbxGeometryBase::InitMaterialIndices(KFbxLayerElement::EMappingMode mapping) {
    KFbxLayer* layer = GetOrCreateLayer0();
    if (layer == nullptr) {
        return;
    }
    KFbxLayerElementMaterial* materials = layer->GetMaterials();
    if (materials == nullptr) {
        materials = new (std::nothrow) KFbxLayerElementMaterial();
        if (materials == nullptr) {
            return;
        }
        layer->SetMaterials(materials);
    }
    materials->SetMappingMode(mapping == KFbxLayerElement::eBY_POLYGON ? KFbxLayerElement::eBY_POLYGON
                                                                       : KFbxLayerElement::eALL_SAME);
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
}

KFbxLayerElement::EMappingMode KFbxGeometryBase::GetMaterialMappingMode() const {
    const KFbxLayer* layer = GetLayer(0);
    const KFbxLayerElementMaterial* materials = layer != nullptr ? layer->GetMaterials() : nullptr;
    return materials != nullptr ? materials->GetMappingMode() : KFbxLayerElement::eNONE;
}

DynamicArrayOf<int>* KFbxGeometryBase::GetMaterialIndices() const {
    const KFbxLayer* layer = GetLayer(0);
    KFbxLayerElementMaterial* materials = layer != nullptr ? layer->GetMaterials() : nullptr;
    return materials != nullptr ? &materials->GetIndexArray() : nullptr;
}

// ---- UVs --------------------------------------------------------------------

void KFbxGeometryBase::InitTextureUVMapping(KFbxLayerElement::EMappingMode mapping, int channel) {
    if (!KFbxLayerElement::IsTextureChannel(channel)) {
        return;
    }
    KFbxLayer* layer = GetOrCreateLayer0();
    if (layer == nullptr) {
        return;
    }
    KFbxLayerElementUV* uvs = layer->GetUVs(channel);
    if (uvs == nullptr) {
        uvs = new (std::nothrow) KFbxLayerElementUV();
        if (uvs == nullptr) {
            return;
        }
        layer->SetUVs(uvs, channel);
    }
    uvs->SetMappingMode(mapping);
    uvs->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
}

KFbxLayerElement::EMappingMode KFbxGeometryBase::GetTextureUVMappingMode(int channel) const {
    const KFbxLayerElementUV* uvs = UVsOf(*this, channel);
    if (uvs == nullptr) {
        return KFbxLayerElement::eNONE;
    }
    const KFbxLayerElement::EMappingMode mapping = uvs->GetMappingMode();
    return mapping == KFbxLayerElement::eBY_CONTROL_POINT || mapping == KFbxLayerElement::eBY_POLYGON_VERTEX
               ? mapping
               : KFbxLayerElement::eNONE;
}

KFbxVector2* KFbxGeometryBase::GetTextureUVArray(int channel) const {
    KFbxLayerElementUV* uvs = UVsOf(*this, channel);
    return uvs != nullptr ? uvs->GetDirectArray().GetArray() : nullptr;
}

int KFbxGeometryBase::GetTextureUVCount(int channel) const {
    const KFbxLayerElementUV* uvs = UVsOf(*this, channel);
    return uvs != nullptr ? uvs->GetDirectArray().GetCount() : 0;
}

bool KFbxGeometryBase::SetTextureUVCount(int count, int channel) {
    KFbxLayerElementUV* uvs = UVsOf(*this, channel);
    return uvs != nullptr && count >= 0 && uvs->GetDirectArray().SetCount(count);
}

int KFbxGeometryBase::AddTextureUV(const KFbxVector2& uv, int channel) {
    KFbxLayerElementUV* uvs = UVsOf(*this, channel);
    return uvs != nullptr ? uvs->GetDirectArray().Add(uv) : -1;
}

// ---- diffuse textures -------------------------------------------------------

void KFbxGeometryBase::InitTextureIndices(KFbxLayerElement::EMappingMode mapping) {
    KFbxLayer* layer = GetOrCreateLayer0();
    if (layer == nullptr) {
        return;
    }
    KFbxLayerElementTexture* textures = layer->GetTextures();
    if (textures == nullptr) {
        textures = new (std::nothrow) KFbxLayerElementTexture();
        if (textures == nullptr) {
            return;
        }
        layer->SetTextures(textures);
    }
    textures->SetMappingMode(mapping == KFbxLayerElement::eBY_POLYGON ? KFbxLayerElement::eBY_POLYGON
                                                                      : KFbxLayerElement::eALL_SAME);
}

KFbxLayerElement::EMappingMode KFbxGeometryBase::GetTextureMappingMode() const {
    const KFbxLayer* layer = GetLayer(0);
    const KFbxLayerElementTexture* textures = layer != nullptr ? layer->GetTextures() : nullptr;
    if (textures == nullptr) {
        return KFbxLayerElement::eNONE;
    }
    const KFbxLayerElement::EMappingMode mapping = textures->GetMappingMode();
    return mapping == KFbxLayerElement::eBY_POLYGON || mapping == KFbxLayerElement::eALL_SAME ? mapping
                                                                                              : KFbxLayerElement::eNONE;
}

DynamicArrayOf<int>* KFbxGeometryBase::GetTextureIndices() const {
    const KFbxLayer* layer = GetLayer(0);
    KFbxLayerElementTexture* textures = layer != nullptr ? layer->GetTextures() : nullptr;
    return textures != nullptr ? &textures->GetIndexArray() : nullptr;
}

bool KFbxGeometryBase::CopyGeometryBase(const KFbxGeometryBase& other) {
    if (&other == this) {
        return true;
    }
    try {
        // A deferred copy stays deferred: it shares the base and copies the changes.
        std::vector<KFbxVector4> points(other.mControlPoints);
        std::unique_ptr<DeferredPoints> deferred;
        if (other.mDeferred != nullptr) {
            deferred = std::make_unique<DeferredPoints>(*other.mDeferred);
        }
        std::unique_ptr<DeferredNormals> deferredNormals;
        if (other.mDeferredNormals != nullptr) {
            deferredNormals = std::make_unique<DeferredNormals>(*other.mDeferredNormals);
        }
        if (!CopyLayers(other)) {
            return false;
        }
        mControlPoints.swap(points);
        mDeferred = std::move(deferred);
        mDeferredNormals = std::move(deferredNormals);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
