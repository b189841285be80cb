#include <fbxfilesdk/fbx/NodeLinkForest.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

bool LiesBelow(const KFbxNode* node, const KFbxNode& ancestor) {
    for (; node != nullptr; node = node->GetParent()) {
        if (node == &ancestor) {
            return true;
        }
    }
    return false;
}

// Nodes linked and moved at random, some of them linked before the forest
// first hears of them: the forest answers as a walk of the nodes' own
// parents does, for every link asked about.
TEST(NodeLinkForest, AnswersAsTheNodesParentsDo) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    std::vector<KFbxNode*> nodes;
    for (int i = 0; i < 40; ++i) {
        nodes.push_back(KFbxNode::Create(manager.get(), "n"));
    }
    for (int i = 1; i < 10; ++i) {
        nodes[i]->AddChild(nodes[i + 10]);
        nodes[i - 1]->AddChild(nodes[i]);
    }
    NodeLinkForest forest;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(nodes.size()) - 1);
    for (int step = 0; step < 4000; ++step) {
        KFbxNode& node = *nodes[pick(random)];
        KFbxNode& parent = *nodes[pick(random)];
        // Now and then a link that could be made is not, as a refusal
        // for another reason would leave it.
        const bool refused = step % 17 == 0;
        forest.Link(node, parent, [&](bool underItself) {
            EXPECT_EQ(underItself, LiesBelow(&parent, node)) << step;
            return !underItself && !refused && parent.AddChild(&node);
        });
    }
    for (KFbxNode* node : nodes) {
        node->Destroy();
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
