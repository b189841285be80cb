// What a COLLADA read files under the id of a geometry, camera or light
// element. A mesh is made once, as the library element is read; a camera or
// light is made for each node that instances it, the element's settings
// kept as the steps that set a new one up, in document order, since a
// setting may depend on those before it (a far plane on the near one).
#ifndef FBXFILESDK_COLLADA_COLLADALIBRARYOBJECT_H
#define FBXFILESDK_COLLADA_COLLADALIBRARYOBJECT_H

#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxCamera;
class KFbxLight;

template <class T>
class ColladaSetUp {
public:
    void Then(std::function<void(T&)> step) { mSteps.push_back(std::move(step)); }
    void ApplyTo(T& object) const {
        for (const auto& step : mSteps) {
            step(object);
        }
    }

private:
    std::vector<std::function<void(T&)>> mSteps;
};

struct ColladaLibraryObject {
    KFbxNodeAttribute* mObject = nullptr;
    std::shared_ptr<const ColladaSetUp<KFbxCamera>> mCamera;
    std::shared_ptr<const ColladaSetUp<KFbxLight>> mLight;

    // Nothing to instance: an ambient light, or a light of no type known.
    bool IsEmpty() const { return mObject == nullptr && mCamera == nullptr && mLight == nullptr; }
    KFbxNodeAttribute::EAttributeType GetAttributeType() const {
        return mCamera != nullptr  ? KFbxNodeAttribute::eCAMERA
               : mLight != nullptr ? KFbxNodeAttribute::eLIGHT
               : mObject != nullptr ? mObject->GetAttributeType()
                                    : KFbxNodeAttribute::eUNIDENTIFIED;
    }
};

}  // namespace fbxsdk_2006_11_1

#endif
