// A fixture for one attribute class: attributes made by class id, and a node
// with a second take that carries one.
#ifndef QALIMOR_TESTS_SCENE_ATTRIBUTETESTSUPPORT_H
#define QALIMOR_TESTS_SCENE_ATTRIBUTETESTSUPPORT_H

#include "scene/SceneObjectsTestSupport.h"

namespace fbxsdk_2006_11_1::scenetest {

template <class Attribute>
class AttributeTest : public SceneObjectTest {
protected:
    Attribute* Make(const char* name = "attribute") {
        Attribute* attribute = Attribute::Create(mManager, name);
        EXPECT_NE(attribute, nullptr);
        return attribute;
    }
    // The takes "Default" and "Take 001", then the attribute.
    KFbxNode* Attach(Attribute* attribute) {
        KFbxNode* node = MakeNode("attributeNode");
        EXPECT_NE(node->CreateTakeNode("Take 001"), nullptr);
        node->SetNodeAttribute(attribute);
        return node;
    }
};

}  // namespace fbxsdk_2006_11_1::scenetest

#endif
