#include <fbxfilesdk/geometry/KFbxTrimNurbsSurface.h>

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxBoundary.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxParametricGeometry_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <new>
#include <vector>

namespace fbxsdk_2006_11_1 {


KFbxTrimNurbsSurface::KFbxTrimNurbsSurface(KFbxSdkManager* manager, const char* name) : KFbxGeometry(manager, name) {}

KFbxTrimNurbsSurface::~KFbxTrimNurbsSurface() = default;

KFbxTrimNurbsSurface* KFbxTrimNurbsSurface::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxTrimNurbsSurface>(manager, ClassId, name);
}

KFbxPlug* KFbxTrimNurbsSurface::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxTrimNurbsSurface>(manager, name);
}

KFbxClassId KFbxTrimNurbsSurface::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxTrimNurbsSurface::NewInternalObject() {
    return new (std::nothrow) KFbxTrimNurbsSurface_internal(this);
}

const char* KFbxTrimNurbsSurface::GetTypeName() const { return "TrimNurbsSurface"; }

void KFbxTrimNurbsSurface::Copy(const KFbxObject& other) {
    const auto* trim = dynamic_cast<const KFbxTrimNurbsSurface*>(&other);
    if (trim == nullptr || trim == this || !CopyGeometry(*trim)) {
        return;
    }
    mFlipNormals = trim->mFlipNormals;
    for (int region = GetTrimRegionCount() - 1; region >= 0; --region) {
        for (int index = GetBoundaryCount(region) - 1; index >= 0; --index) {
            DisconnectSrc(GetBoundary(index, region));
        }
    }
    mRegions.clear();
    SetNurbsSurface(trim->GetNurbsSurface());
    for (int region = 0; region < trim->GetTrimRegionCount(); ++region) {
        const int target = GetTrimRegionCount();
        for (int index = 0; index < trim->GetBoundaryCount(region); ++index) {
            AddBoundary(trim->GetBoundary(index, region), target);
        }
    }
}

KFbxNodeAttribute* KFbxTrimNurbsSurface::Clone(int mode) const { return KFbxCloneWithContents(*this, mode); }

bool KFbxTrimNurbsSurface::SetNurbsSurface(KFbxNurbsSurface* surface) {
    KFbxNurbsSurface* current = GetNurbsSurface();
    if (current == surface) {
        return true;
    }
    if (current != nullptr) {
        DisconnectSrc(current);
    }
    return surface == nullptr || ConnectSrc(surface);
}

KFbxNurbsSurface* KFbxTrimNurbsSurface::GetNurbsSurface() const {
    if (KFbxNurbsSurface::ClassId == KFbxClassId()) {
        return nullptr;
    }
    return static_cast<KFbxNurbsSurface*>(GetSrcObject(KFbxNurbsSurface::ClassId, 0));
}

bool KFbxTrimNurbsSurface::IsBoundarySource(const KFbxBoundary* boundary) const {
    // Compared by address only: a boundary destroyed elsewhere has left the
    // sources, and its old pointer must never be followed.
    if (KFbxBoundary::ClassId == KFbxClassId()) {
        return false;
    }
    for (int index = 0; index < GetSrcObjectCount(KFbxBoundary::ClassId); ++index) {
        if (GetSrcObject(KFbxBoundary::ClassId, index) == boundary) {
            return true;
        }
    }
    return false;
}

void KFbxTrimNurbsSurface::ForgetLostBoundaries() {
    for (std::vector<KFbxBoundary*>& region : mRegions) {
        std::erase_if(region, [this](const KFbxBoundary* boundary) { return !IsBoundarySource(boundary); });
    }
}

bool KFbxTrimNurbsSurface::AddBoundary(KFbxBoundary* boundary, int region) {
    // A new boundary may sit where a lost one was.
    ForgetLostBoundaries();
    if (boundary == nullptr || region < 0 || region > GetTrimRegionCount() || IsBoundarySource(boundary)) {
        return false;
    }
    try {
        if (region == GetTrimRegionCount()) {
            mRegions.emplace_back();
        }
        mRegions[static_cast<std::size_t>(region)].push_back(boundary);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    if (!ConnectSrc(boundary)) {
        mRegions[static_cast<std::size_t>(region)].pop_back();
        if (mRegions.back().empty()) {
            mRegions.pop_back();
        }
        return false;
    }
    return true;
}

int KFbxTrimNurbsSurface::GetBoundaryCount(int region) const {
    int count = 0;
    while (GetBoundary(count, region) != nullptr) {
        ++count;
    }
    return count;
}

KFbxBoundary* KFbxTrimNurbsSurface::GetBoundary(int index, int region) const {
    if (index < 0 || region < 0 || region >= GetTrimRegionCount()) {
        return nullptr;
    }
    for (KFbxBoundary* boundary : mRegions[static_cast<std::size_t>(region)]) {
        if (IsBoundarySource(boundary) && index-- == 0) {
            return boundary;
        }
    }
    return nullptr;
}

}  // namespace fbxsdk_2006_11_1
