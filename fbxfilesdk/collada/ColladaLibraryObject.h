// What a COLLADA read files under the id of a geometry, camera or light
// element. A mesh is made once, as the library element is read; a camera or
// light is made for each node that instances it, the element's settings
// kept as the steps that set a new one up, in document order, since a
// setting may depend on those before it (a far plane on the near one).
#ifndef FBXFILESDK_COLLADA_COLLADALIBRARYOBJECT_H
#define FBXFILESDK_COLLADA_COLLADALIBRARYOBJECT_H

#include <fbxfilesdk/collada/ColladaAttributeCopy.h>
#include <fbxfilesdk/core/KRecycledContainers.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

// Steps that set an object up, applied in the order given.
template <class T>
class ColladaSteps {
public:
    void Then(std::function<void(T&)> step) { mSteps.push_back(std::move(step)); }
    void ApplyTo(T& object) const {
        for (const auto& step : mSteps) {
            step(object);
        }
    }

private:
    // Filled and dropped with every file read.
    KRecycledVector<std::function<void(T&)>> mSteps;
};

// The steps that set up a camera or light as its element says, and what a
// copy of the one they set up takes over, found for the first node that
// instances the element: every node's is the same.
template <class T, class Copy>
class ColladaSetUp {
public:
    ColladaSteps<T>& Steps() { return mSteps; }

    // What the attribute of a node takes over. The new attribute given is
    // set up in passing, as the element's own would be apart from any node.
    const Copy& CopyFor(T& made) {
        if (!mCopy) {
            mSteps.ApplyTo(made);
            mCopy.emplace(made);
        }
        return *mCopy;
    }

private:
    ColladaSteps<T> mSteps;
    std::optional<Copy> mCopy;
};

using ColladaCameraSetUp = ColladaSetUp<KFbxCamera, ColladaCameraCopy>;
using ColladaLightSetUp = ColladaSetUp<KFbxLight, ColladaLightCopy>;

struct ColladaLibraryObject {
    KFbxNodeAttribute* mObject = nullptr;
    std::shared_ptr<ColladaCameraSetUp> mCamera;
    std::shared_ptr<ColladaLightSetUp> mLight;

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
