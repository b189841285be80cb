#include "GeometryTestSupport.h"

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>

#include <cstdlib>
#include <cstring>
#include <map>

namespace fbxsdk_2006_11_1 {
namespace {

using GeometryReviewTest = geometrytest::GeometryTest;

// Every SDK block gets a tail of known bytes, so that a write past its end
// shows without a sanitizer; blocks larger than the limit are refused, as a
// full heap would.
constexpr std::size_t kTail = 1 << 17;
constexpr unsigned char kTailByte = 0xA5;
std::size_t gRefuseAbove = 0;
std::map<void*, std::size_t>& Sizes() {
    static std::map<void*, std::size_t> sizes;
    return sizes;
}

void* Mark(void* block, std::size_t size) {
    if (block != nullptr) {
        std::memset(static_cast<unsigned char*>(block) + size, kTailByte, kTail);
        Sizes()[block] = size;
    }
    return block;
}
void* GuardedMalloc(std::size_t size) {
    if (gRefuseAbove != 0 && size > gRefuseAbove) return nullptr;
    return Mark(std::malloc(size + kTail), size);
}
void* GuardedCalloc(std::size_t count, std::size_t size) {
    void* block = GuardedMalloc(count * size);
    if (block != nullptr) std::memset(block, 0, count * size);
    return block;
}
void* GuardedRealloc(void* block, std::size_t size) {
    if (gRefuseAbove != 0 && size > gRefuseAbove) return nullptr;
    Sizes().erase(block);
    return Mark(std::realloc(block, size + kTail), size);
}
void GuardedFree(void* block) {
    Sizes().erase(block);
    std::free(block);
}

bool TailIntact(const void* block) {
    const auto found = Sizes().find(const_cast<void*>(block));
    if (found == Sizes().end()) return false;
    const auto* tail = static_cast<const unsigned char*>(block) + found->second;
    for (std::size_t k = 0; k < kTail; ++k) {
        if (tail[k] != kTailByte) return false;
    }
    return true;
}

struct GuardedHeap {
    GuardedHeap() { EXPECT_TRUE(SdkSetAllocators(&GuardedMalloc, &GuardedCalloc, &GuardedRealloc, &GuardedFree)); }
    ~GuardedHeap() {
        gRefuseAbove = 0;
        // Blocks made here are plain malloc blocks, which the default free takes.
        SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free);
    }
};

TEST_F(GeometryReviewTest, ComputeVertexNormalsWritesNoMoreNormalsThanTheElementHolds) {
    GuardedHeap heap;
    KFbxMesh* mesh = MakeMesh();
    ASSERT_NE(mesh, nullptr);
    constexpr int kPoints = 2000;
    mesh->InitControlPoints(kPoints);
    ASSERT_EQ(mesh->GetControlPointsCount(), kPoints);
    // A small normals element, as a file may leave one per polygon vertex.
    mesh->InitNormals(1);
    ASSERT_EQ(mesh->GetNormalsMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);
    const KFbxVector4* before = mesh->GetNormals();
    ASSERT_NE(before, nullptr);
    ASSERT_TRUE(TailIntact(before));

    // Growing it to one normal per point now fails.
    gRefuseAbove = 4096;
    mesh->ComputeVertexNormals();
    gRefuseAbove = 0;

    const KFbxLayerElementNormal* normals = mesh->GetLayer(0)->GetNormals();
    ASSERT_NE(normals, nullptr);
    EXPECT_LT(normals->GetDirectArray().GetCount(), kPoints);
    EXPECT_TRUE(TailIntact(mesh->GetNormals()));
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
