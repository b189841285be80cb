#include "Ftk3dsTestSupport.h"

#include <string>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

std::string Node(std::uint32_t tag, int id, const std::string& name, std::uint16_t parent,
                 const std::string& extra = {}) {
    const std::string idChunk = id < 0 ? std::string() : Chunk(NODE_ID, Le16(static_cast<std::uint16_t>(id)));
    return Chunk(tag, idChunk + Chunk(NODE_HDR, Text(name) + Le16(0) + Le16(0) + Le16(parent)) + extra);
}

std::string File(const std::string& nodes) { return Chunk(M3DMAGIC, Chunk(KFDATA, nodes)); }

class NodeHierarchyTest : public Ftk3dsTest {
protected:
    void TearDown() override {
        ReleaseDatabase3ds(&database_);
        Ftk3dsTest::TearDown();
    }
    std::string ParentOf(const char* name, std::uint32_t tag = OBJECT_NODE_TAG) {
        Chunk3ds* node = FindNodeTagByName3ds(database_, name, tag);
        EXPECT_NE(node, nullptr) << name;
        char parent[64];
        GetParentName3ds(node, parent, sizeof parent);
        return parent;
    }
    std::uint16_t ParentIndexOf(Chunk3ds* node) {
        Chunk3ds* header = nullptr;
        FindChunk3ds(node, NODE_HDR, &header);
        return static_cast<NodeHeaderData3ds*>(ReadChunkData3ds(header))->parentindex;
    }
    std::vector<Chunk3ds*> Nodes() {
        Chunk3ds* kfdata = nullptr;
        FindChunk3ds(database_->topchunk, KFDATA, &kfdata);
        return Children(kfdata);
    }
    database3ds* database_ = nullptr;
};

TEST_F(NodeHierarchyTest, AnInstancedParentIsNamedWithItsInstanceAndFoundAgainBeforeWriting) {
    database_ = ReadImage(File(Node(OBJECT_NODE_TAG, 4, "Box", 0xFFFF, Chunk(INSTANCE_NAME, Text("1"))) +
                               Node(OBJECT_NODE_TAG, 9, "Lid", 4) + Node(CAMERA_NODE_TAG, 2, "Cam", 0xFFFF)));
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_EQ(ParentOf("Lid"), "Box.1");
    EXPECT_EQ(ParentOf("Box.1"), "");
    EXPECT_EQ(ParentOf("Cam", CAMERA_NODE_TAG), "");

    PrepareNodeHierarchy3ds(database_);
    ASSERT_FALSE(FtkErrorPending);
    const std::vector<Chunk3ds*> nodes = Nodes();
    EXPECT_EQ(GetNodeId3ds(nodes[0]), 0);
    EXPECT_EQ(GetNodeId3ds(nodes[1]), 1);
    EXPECT_EQ(GetNodeId3ds(nodes[2]), 2);
    EXPECT_EQ(ParentIndexOf(nodes[0]), 0xFFFF);
    EXPECT_EQ(ParentIndexOf(nodes[1]), 0);
}

TEST_F(NodeHierarchyTest, TheNewIdsOfFileNodesReachTheWrittenFile) {
    database_ = ReadImage(File(Node(OBJECT_NODE_TAG, 7, "A", 0xFFFF) + Node(OBJECT_NODE_TAG, 3, "B", 7)));
    ASSERT_FALSE(FtkErrorPending);
    const std::string written = WriteImage(database_);
    EXPECT_NE(written.find(Node(OBJECT_NODE_TAG, 0, "A", 0xFFFF)), std::string::npos);
    EXPECT_NE(written.find(Node(OBJECT_NODE_TAG, 1, "B", 0)), std::string::npos);
}

TEST_F(NodeHierarchyTest, AmbientObjectAndCameraNodesGetNoIdZeroAndOne) {
    database_ = ReadImage(File(Node(AMBIENT_NODE_TAG, 5, "$AMBIENT$", 0xFFFF) + Node(OBJECT_NODE_TAG, 5, "Obj", 0xFFFF) +
                               Node(CAMERA_NODE_TAG, 6, "Cam", 5)));
    ASSERT_FALSE(FtkErrorPending);
    // The ambient node takes no part: the camera's parent is the object.
    EXPECT_EQ(ParentOf("Cam", CAMERA_NODE_TAG), "Obj");
    PrepareNodeHierarchy3ds(database_);
    const std::vector<Chunk3ds*> nodes = Nodes();
    EXPECT_EQ(GetNodeId3ds(nodes[0]), 0xFFFF);
    EXPECT_EQ(GetNodeId3ds(nodes[1]), 0);
    EXPECT_EQ(GetNodeId3ds(nodes[2]), 1);
    EXPECT_EQ(ParentIndexOf(nodes[2]), 0);
}

TEST_F(NodeHierarchyTest, NodesWithoutIdsAreNumberedByTheirPlace) {
    database_ = ReadImage(File(Node(OBJECT_NODE_TAG, 40, "A", 0xFFFF) + Node(OBJECT_NODE_TAG, -1, "B", 0) +
                               Node(OBJECT_NODE_TAG, 41, "C", 1)));
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_EQ(ParentOf("B"), "A");
    EXPECT_EQ(ParentOf("C"), "B");
}

TEST_F(NodeHierarchyTest, MissingOrUnknownParentNamesGiveNoParent) {
    database_ = ReadImage(File(Node(OBJECT_NODE_TAG, 0, "A", 0xFFFF) + Node(OBJECT_NODE_TAG, 1, "B", 0) +
                               Node(OBJECT_NODE_TAG, 2, "C", 77)));
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_EQ(ParentOf("C"), "");
    const std::vector<Chunk3ds*> nodes = Nodes();
    Chunk3ds* parentName = nullptr;
    FindChunk3ds(nodes[1], PARENT_NAME, &parentName);
    ASSERT_NE(parentName, nullptr);
    auto* text = static_cast<TextData3ds*>(parentName->data);
    FtkFree(text->text);
    text->text = StrDup3ds("Nobody.1");
    PutParentName3ds(nodes[2]->children->sibling, "A.");
    PrepareNodeHierarchy3ds(database_);
    EXPECT_EQ(ParentIndexOf(nodes[0]), 0xFFFF);
    EXPECT_EQ(ParentIndexOf(nodes[1]), 0xFFFF);
    EXPECT_EQ(ParentIndexOf(nodes[2]), 0xFFFF);
}

TEST_F(NodeHierarchyTest, NodesPastTheLastIdAreRefusedInsteadOfNumberedAgainFromZero) {
    std::string nodes = Node(AMBIENT_NODE_TAG, 0, "$AMBIENT$", 0xFFFF);
    for (std::uint32_t node = 0; node < kMaxKeyframerNodes3ds; ++node) {
        nodes += Node(OBJECT_NODE_TAG, 0, "N", 0xFFFF);
    }
    for (const bool onePast : {false, true}) {
        database_ = ReadImage(File(onePast ? nodes + Node(OBJECT_NODE_TAG, 0, "N", 0xFFFF) : nodes));
        ASSERT_FALSE(FtkErrorPending);
        EXPECT_EQ(GetKeyframerNodeCount3ds(database_), kMaxKeyframerNodes3ds + (onePast ? 1 : 0));
        PrepareNodeHierarchy3ds(database_);
        EXPECT_EQ(RecordedErrors(), onePast ? std::vector<int>{ERR_INVALID_DATABASE} : std::vector<int>{});
        ClearErrorList3ds();
        EXPECT_EQ(GetNodeId3ds(Nodes()[kMaxKeyframerNodes3ds]), onePast ? 0 : 0xFFFE);
        ReleaseDatabase3ds(&database_);
    }
}

TEST_F(NodeHierarchyTest, ResolvingTwiceLeavesOneParentNameWithTheCurrentParent) {
    database_ = ReadImage(File(Node(OBJECT_NODE_TAG, 0, "A", 0xFFFF) + Node(OBJECT_NODE_TAG, 1, "X", 0xFFFF) +
                               Node(OBJECT_NODE_TAG, 2, "B", 0)));
    ASSERT_FALSE(FtkErrorPending);
    Chunk3ds* b = Nodes()[2];
    Chunk3ds* header = nullptr;
    FindChunk3ds(b, NODE_HDR, &header);
    static_cast<NodeHeaderData3ds*>(ReadChunkData3ds(header))->parentindex = 1;
    ResolveNodeHierarchy3ds(database_);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_EQ(ChildTags(header), std::vector<std::uint32_t>{PARENT_NAME});
    EXPECT_EQ(ParentOf("B"), "X");
    ResolveNodeHierarchy3ds(nullptr);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_ARG});
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
