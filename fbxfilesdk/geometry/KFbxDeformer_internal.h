// The internal twins of deformers and sub-deformers: skins and vertex-cache
// deformers under the deformer's, clusters under the sub-deformer's. They
// hold nothing of their own; they give the twins their plug classes, so that
// internal filters can tell the kinds apart.
#ifndef FBXFILESDK_GEOMETRY_KFBXDEFORMER_INTERNAL_H
#define FBXFILESDK_GEOMETRY_KFBXDEFORMER_INTERNAL_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxCluster;
class KFbxDeformer;
class KFbxSkin;
class KFbxSubDeformer;
class KFbxVertexCacheDeformer;
class KPlugClassInfo;

class KFbxDeformer_internal : public KFbxTakeNodeContainer_internal {
public:
    explicit KFbxDeformer_internal(KFbxDeformer* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxSkin_internal : public KFbxDeformer_internal {
public:
    explicit KFbxSkin_internal(KFbxSkin* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxVertexCacheDeformer_internal : public KFbxDeformer_internal {
public:
    explicit KFbxVertexCacheDeformer_internal(KFbxVertexCacheDeformer* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxSubDeformer_internal : public KFbxTakeNodeContainer_internal {
public:
    explicit KFbxSubDeformer_internal(KFbxSubDeformer* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxCluster_internal : public KFbxSubDeformer_internal {
public:
    explicit KFbxCluster_internal(KFbxCluster* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
