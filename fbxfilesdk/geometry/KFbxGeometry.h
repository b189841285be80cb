// A geometry: a geometry base that a node carries, with a pivot, deformers
// and shapes. Failures are recorded in the geometry's error holder.
#ifndef FBXFILESDK_GEOMETRY_KFBXGEOMETRY_H
#define FBXFILESDK_GEOMETRY_KFBXGEOMETRY_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxGeometryBase.h>
#include <fbxfilesdk/geometry/KFbxGeometryShapes.h>

#include <unordered_map>

namespace fbxsdk_2006_11_1 {

class KFCurveNode;
class KFbxCluster;
class KFbxDeformer;
class KFbxTakeNode;
class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;
class KFbxShape;

class KFbxGeometry : public KFbxGeometryBase {
public:
    enum EError {
        eINDEX_OUT_OF_RANGE = 0,
        eNULL_PARAMETER,
        eSHAPE_ALREADY_ADDED,
        eSHAPE_INVALID_NAME,
        eSHAPE_NAME_CLASH,
        eSHAPE_CONTROL_POINT_COUNT,
        eOUT_OF_MEMORY,
        eERROR_COUNT
    };

    // The class id of KFbxGeometry; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxGeometry(KFbxSdkManager* manager, const char* name);
    ~KFbxGeometry() override;

    // Constructs a geometry with its twin; null when memory runs out.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    // Shapes have channels of their own, made when they are added.
    bool HasTakeNodeTemplate() const override { return false; }

    // ---- pivot ----
    // Identity unless set; copied into out, which is returned.
    KgeMatrix& GetPivot(KgeMatrix& out) const;
    void SetPivot(const KgeMatrix& pivot);
    // Moves the control points, the shapes' points and every normal through
    // the pivot (normals without its translation, renormalised), which
    // becomes the identity.
    void ApplyPivot();

    // ---- deformers ----
    // The deformer sources of the type: 0 any, 1 skin, 2 vertex cache.
    int GetDeformerCount(int type = 0) const;
    int GetSrcDeformerCount() const { return GetDeformerCount(0); }
    // The index-th of them; null, with eINDEX_OUT_OF_RANGE, when there is none.
    KFbxDeformer* GetDeformer(int index, int type = 0);
    // Connects the deformer as a source, which the geometry then owns. Its
    // index among all deformers (the existing one when already there); -1,
    // with eNULL_PARAMETER, for null, and -1 for a refused connection.
    int AddDeformer(KFbxDeformer* deformer);
    // Adds the cluster to the first skin, which is made (unnamed) when the
    // geometry has none. The cluster's index in the skin, or -1: a null
    // cluster (eNULL_PARAMETER), a skin that cannot be made, or a refused
    // connection.
    int AddCluster(KFbxCluster* cluster);

    // ---- shapes ----
    // The shape stays the manager's and may be destroyed apart from the
    // geometry, by whatever route: it then leaves the list with its name, its
    // weight property and the channels noted for it, and the shapes after it
    // move down one index.
    //
    // The geometry keeps the shape under the name, and gains a number
    // property of that name (the shape's weight). Its index, or -1 with the
    // error: a null shape, one already added, a null or empty name, a name
    // already used by a property, or a control-point count other than the
    // geometry's; eOUT_OF_MEMORY also when the shape can be given no handle.
    int AddShape(KFbxShape* shape, const char* name);
    virtual int GetShapeCount() const;
    // Null out of range.
    virtual KFbxShape* GetShape(int index) const;
    virtual const char* GetShapeName(int index) const;
    // The value of the curve of the shape's channel (the channel named after
    // the shape) in the owner node's current take; 0.0 out of range, without
    // owner node, or without such a curve.
    double GetShapeChannelValue(int index) const;

    // ---- shape channels around a write ----
    // A file keeps a shape's weight only in the shape's channel. Before a
    // write, each shape without a channel in the take node gets one (named
    // after the shape, no keys, its value the shape's weight), which the
    // geometry notes; false when memory runs out for one of them. A noted
    // channel that goes, by itself or with its take node, leaves the notes.
    bool ProcessShapeChannels(KFbxTakeNode& takeNode);
    // After the write: the channels noted for the take node leave it again,
    // so the take node is as it was before the write.
    void RenameShapeChannels(KFbxTakeNode& takeNode);
    // Forgets the noted channels (without touching them).
    void ClearShapeArrays();

    // ---- errors ----
    ErrorHolder& GetError() { return mError; }
    int GetLastErrorID() const { return mError.GetLastErrorID(); }
    const char* GetLastErrorString() const { return mError.GetLastErrorString(); }

protected:
    // The points, layers, pivot and shape list become copies of the other's;
    // false when memory runs out, unchanged but for the points and layers or,
    // past them, with as many of the other's shapes as could be held.
    bool CopyGeometry(const KFbxGeometry& other);

private:
    friend class KFbxShape;

    // Called by a shape as it goes: its entry leaves the list with its
    // weight property and the channels noted for it.
    void ShapeGone(KFbxShape& shape);
    // Told by a noted channel as it goes, whatever the user did with its
    // callbacks: it leaves the notes.
    static void NotedChannelGone(KFCurveNode& channel, void* geometry);
    // The channel, going, leaves the notes and its shape's entry.
    void Unnote(KFCurveNode* channel);
    // The channel stops telling the geometry and leaves the notes, and its
    // take node too when asked to be removed.
    void ForgetChannel(KFCurveNode* channel, bool remove);

    KgeMatrix mPivot;
    KFbxGeometryShapes mShapes;
    // The shape each noted channel was made for.
    std::unordered_map<const KFCurveNode*, const KFbxShape*> mNotedChannels;
    ErrorHolder mError;
};

}  // namespace fbxsdk_2006_11_1

#endif
