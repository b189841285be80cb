#include <fbxfilesdk/collada/ColladaSoleInstances.h>

#include <fbxfilesdk/collada/ColladaXmlLookup.h>

#include <map>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

using namespace ColladaXml;

bool IsAnyInstance(const xmlNode* element) {
    for (const char* name : {"instance", "instance_geometry", "instance_controller", "instance_camera", "instance_light"}) {
        if (IsNamed(element, name)) {
            return true;
        }
    }
    return false;
}

// How many instances the node element holds.
int InstanceCount(const xmlNode* node) {
    int count = 0;
    for (xmlNode* child : ChildElements(node)) {
        count += IsAnyInstance(child) ? 1 : 0;
    }
    return count;
}

struct Use {
    int mCount = 0;
    bool mSole = false;
};

}  // namespace

std::set<std::string> ColladaSoleGeometryInstances(const xmlNode* root) {
    std::map<std::string, Use> uses;
    // Elements to visit, each with whether it lies in a visual scene library;
    // a stack rather than recursion, however deep the document nests.
    std::vector<std::pair<const xmlNode*, bool>> pending;
    for (xmlNode* child : ChildElements(root)) {
        pending.emplace_back(child, IsNamed(child, "library_visual_scenes"));
    }
    while (!pending.empty()) {
        const auto [element, inScenes] = pending.back();
        pending.pop_back();
        if (IsNamed(element, "controller") || IsNamed(element, "instance_node")) {
            return {};
        }
        if (IsNamed(element, "instance_geometry")) {
            Use& use = uses[GetUrlReference(element).mId.Buffer()];
            ++use.mCount;
            use.mSole = inScenes && IsNamed(element->parent, "node") && InstanceCount(element->parent) == 1;
            continue;
        }
        for (xmlNode* child : ChildElements(element)) {
            pending.emplace_back(child, inScenes);
        }
    }
    std::set<std::string> sole;
    for (const auto& [id, use] : uses) {
        if (use.mCount == 1 && use.mSole && !id.empty()) {
            sole.insert(id);
        }
    }
    return sole;
}

}  // namespace fbxsdk_2006_11_1
