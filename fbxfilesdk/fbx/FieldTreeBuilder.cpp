#include <fbxfilesdk/fbx/FieldTreeBuilder.h>

#include <fbxfilesdk/core/KLargeArrayGrowth.h>
#include <fbxfilesdk/fbx/FieldFormat.h>

namespace fbxsdk_2006_11_1 {

void FieldTreeBuilder::Start() {
    if (mLevels.empty()) mLevels.resize(1);
    for (auto& level : mLevels) level.clear();
    mDepth = 0;
}

bool FieldTreeBuilder::Descend() {
    if (mDepth + 1 >= kMaxNestingDepth || mLevels[mDepth].empty()) return false;
    ++mDepth;
    if (static_cast<int>(mLevels.size()) <= mDepth) mLevels.emplace_back();
    mLevels[mDepth].clear();
    return true;
}

void FieldTreeBuilder::Ascend() {
    if (mDepth == 0) return;
    std::vector<FieldNode>& children = mLevels[mDepth];
    FieldNode& parent = mLevels[mDepth - 1].back();
    parent.childBegin = static_cast<std::uint32_t>(mTree.nodes.size());
    parent.childCount = static_cast<std::uint32_t>(children.size());
    KReserveLargeForMore(mTree.nodes, children.size());
    mTree.nodes.insert(mTree.nodes.end(), children.begin(), children.end());
    children.clear();
    --mDepth;
}

void FieldTreeBuilder::Finish(std::uint32_t& begin, std::uint32_t& count) {
    while (mDepth > 0) Ascend();
    begin = static_cast<std::uint32_t>(mTree.nodes.size());
    count = static_cast<std::uint32_t>(mLevels[0].size());
    KReserveLargeForMore(mTree.nodes, mLevels[0].size());
    mTree.nodes.insert(mTree.nodes.end(), mLevels[0].begin(), mLevels[0].end());
    mLevels[0].clear();
}

}  // namespace fbxsdk_2006_11_1
