// The fields of NURBS and patches that both FBX writers write alike, and the
// surface as files want it (U and V exchanged when the surface asks).
#ifndef FBXFILESDK_FBX_KFBXWRITERFBXSURFACES_H
#define FBXFILESDK_FBX_KFBXWRITERFBXSURFACES_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>

namespace fbxsdk_2006_11_1 {

class KFbx;
class KFbxGeometry;
class KFbxNurb;
class KFbxPatch;

// "Points": every control point through the geometry's pivot, followed by
// its weight (as stored: a rational surface keeps its shape) when withWeight
// is set.
void WriteSurfacePoints(KFbx& file, const KFbxGeometry& geometry, bool withWeight);
// From the version field ("NurbVersion") to "KnotVectorV".
void WriteNurbFields(KFbx& file, const KFbxNurb& nurb, int version);
// From "PatchVersion" to "Points"; a basis without a word is written as the
// default basis, so that the value after it keeps its place.
void WritePatchFields(KFbx& file, const KFbxPatch& patch);
// One basis word as a value of the open field, the default basis's for a
// basis without a word.
void WritePatchBasisValue(KFbx& file, int basis);

// The surface as files want it: a copy with U and V exchanged (and the
// clusters remapped) when the surface asks for it, which the holder destroys.
template <class Surface, class Copy>
class WrittenSurface {
public:
    WrittenSurface(Surface& surface, Copy copy) : mSurface(&surface) {
        if (!surface.GetFlag0() && !surface.GetFlag1()) {
            return;
        }
        KFbxGeometryConverter* converter = KFbxGeometryConverter::Create(surface.GetSdkManager(), "");
        if (converter == nullptr) {
            return;
        }
        mCopy = (converter->*copy)(&surface, surface.GetFlag0(), surface.GetFlag1());
        converter->Destroy();
        if (mCopy != nullptr) {
            mSurface = mCopy;
        }
    }
    ~WrittenSurface() {
        if (mCopy != nullptr) {
            mCopy->Destroy();
        }
    }
    WrittenSurface(const WrittenSurface&) = delete;
    WrittenSurface& operator=(const WrittenSurface&) = delete;

    Surface& Get() const { return *mSurface; }

private:
    Surface* mSurface;
    Surface* mCopy = nullptr;
};

}  // namespace fbxsdk_2006_11_1

#endif
