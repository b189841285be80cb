// One take's animation of one object: the take's name and a curve-node tree
// whose root is "Defaults", with one child channel per animatable property.
// The typed getters reach the curve of a named channel without walking the
// tree; a miss answers null and records error 0, "Curve not found".
#ifndef FBXFILESDK_ANIMATION_KFBXTAKENODE_H
#define FBXFILESDK_ANIMATION_KFBXTAKENODE_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>

namespace fbxsdk_2006_11_1 {

class KDataType;
class KFCurve;
class KFCurveNode;

class KFbxTakeNode {
public:
    enum EError { eCurveNotFound = 0, eErrorCount };

    explicit KFbxTakeNode(const char* name = "");
    // The same name and a deep copy of the tree, keys included.
    KFbxTakeNode(const KFbxTakeNode& source);
    KFbxTakeNode& operator=(const KFbxTakeNode&) = delete;
    ~KFbxTakeNode();

    void SetName(const char* name) { mName = name; }
    const char* GetName() const { return mName.Buffer(); }
    // Null only when memory ran out at construction.
    KFCurveNode* GetKFCurveNode() const { return mRoot; }
    bool GetAnimationInterval(KTime& start, KTime& stop) const;
    ErrorHolder& GetError() { return mError; }

    // Each non-null name is looked for below the node the previous one found.
    KFCurve* GetKFCurve(const char* first, const char* second, const char* third);
    KFCurve* GetKFCurveNodeForward(const char* first, const char* second, const char* third) {
        return GetKFCurve(first, second, third);
    }
    // The last step finds the first descendant of the data type.
    KFCurve* GetKFCurveByIndex(const char* first, const char* second, const KDataType* type);
    bool IsAnimated(const char* first, const char* second, const char* third);
    bool IsAnimatedByIndex(const char* first, const char* second, const KDataType* type);

    // Deletes the reference nodes below node (depth first), leaving the nodes
    // they list to their owners.
    static void RemoveReferenceChildren(KFCurveNode* node);

    KFCurve* GetTranslationX() { return GetKFCurve("Transform", "T", "X"); }
    KFCurve* GetTranslationY() { return GetKFCurve("Transform", "T", "Y"); }
    KFCurve* GetTranslationZ() { return GetKFCurve("Transform", "T", "Z"); }
    KFCurve* GetEulerRotationX() { return GetKFCurve("Transform", "R", "X"); }
    KFCurve* GetEulerRotationY() { return GetKFCurve("Transform", "R", "Y"); }
    KFCurve* GetEulerRotationZ() { return GetKFCurve("Transform", "R", "Z"); }
    KFCurve* GetScaleX() { return GetKFCurve("Transform", "S", "X"); }
    KFCurve* GetScaleY() { return GetKFCurve("Transform", "S", "Y"); }
    KFCurve* GetScaleZ() { return GetKFCurve("Transform", "S", "Z"); }
    KFCurve* GetVisibility();
    KFCurve* GetColorR() { return GetKFCurve(nullptr, "Color", "X"); }
    KFCurve* GetColorG() { return GetKFCurve(nullptr, "Color", "Y"); }
    KFCurve* GetColorB() { return GetKFCurve(nullptr, "Color", "Z"); }
    KFCurve* GetLightIntensity() { return GetKFCurve(nullptr, nullptr, "Intensity"); }
    KFCurve* GetLightConeAngle() { return GetKFCurve(nullptr, nullptr, "Cone angle"); }
    KFCurve* GetLightFog() { return GetKFCurve(nullptr, nullptr, "Fog"); }
    KFCurve* GetCameraFieldOfView() { return GetKFCurve(nullptr, nullptr, "FieldOfView"); }
    KFCurve* GetCameraFieldOfViewX() { return GetKFCurve(nullptr, nullptr, "FieldOfViewX"); }
    KFCurve* GetCameraFieldOfViewY() { return GetKFCurve(nullptr, nullptr, "FieldOfViewY"); }
    KFCurve* GetCameraFocalLength() { return GetKFCurve(nullptr, nullptr, "FocalLength"); }
    KFCurve* GetCameraOpticalCenterX() { return GetKFCurve(nullptr, nullptr, "OpticalCenterX"); }
    KFCurve* GetCameraOpticalCenterY() { return GetKFCurve(nullptr, nullptr, "OpticalCenterY"); }
    KFCurve* GetCameraRoll() { return GetKFCurve(nullptr, nullptr, "Roll"); }
    KFCurve* GetCameraTurnTable() { return GetKFCurve(nullptr, nullptr, "TurnTable"); }
    KFCurve* GetBackgroundColorR() { return GetKFCurve(nullptr, "BackgroundColor", "X"); }
    KFCurve* GetBackgroundColorG() { return GetKFCurve(nullptr, "BackgroundColor", "Y"); }
    KFCurve* GetBackgroundColorB() { return GetKFCurve(nullptr, "BackgroundColor", "Z"); }
    KFCurve* GetCameraSwitcherIndex() { return GetKFCurve(nullptr, nullptr, "Camera Index"); }
    KFCurve* GetIKReachTranslation();
    KFCurve* GetIKReachRotation();
    KFCurve* GetTextureTranslationU() { return GetKFCurve(nullptr, "Translation", "X"); }
    KFCurve* GetTextureTranslationV() { return GetKFCurve(nullptr, "Translation", "Y"); }
    KFCurve* GetTextureTranslationW() { return GetKFCurve(nullptr, "Translation", "Z"); }
    KFCurve* GetTextureRotationU() { return GetKFCurve(nullptr, "Rotation", "X"); }
    KFCurve* GetTextureRotationV() { return GetKFCurve(nullptr, "Rotation", "Y"); }
    KFCurve* GetTextureRotationW() { return GetKFCurve(nullptr, "Rotation", "Z"); }
    KFCurve* GetTextureScaleU() { return GetKFCurve(nullptr, "Scaling", "X"); }
    KFCurve* GetTextureScaleV() { return GetKFCurve(nullptr, "Scaling", "Y"); }
    KFCurve* GetTextureScaleW() { return GetKFCurve(nullptr, "Scaling", "Z"); }
    KFCurve* GetMaterialAlpha() { return GetKFCurve(nullptr, nullptr, "Alpha"); }
    KFCurve* GetMaterialShininess() { return GetKFCurve(nullptr, nullptr, "Shininess"); }

    // The texture's value getters reach the same curves through these.
    KFCurve* FindTextureTranslationU() { return GetKFCurveNodeForward(nullptr, "Translation", "X"); }
    KFCurve* FindTextureTranslationV() { return GetKFCurveNodeForward(nullptr, "Translation", "Y"); }
    KFCurve* FindTextureTranslationW() { return GetKFCurveNodeForward(nullptr, "Translation", "Z"); }
    KFCurve* FindTextureRotationU() { return GetKFCurveNodeForward(nullptr, "Rotation", "X"); }
    KFCurve* FindTextureRotationV() { return GetKFCurveNodeForward(nullptr, "Rotation", "Y"); }
    KFCurve* FindTextureRotationW() { return GetKFCurveNodeForward(nullptr, "Rotation", "Z"); }
    KFCurve* FindTextureScaleU() { return GetKFCurveNodeForward(nullptr, "Scaling", "X"); }
    KFCurve* FindTextureScaleV() { return GetKFCurveNodeForward(nullptr, "Scaling", "Y"); }
    KFCurve* FindTextureScaleW() { return GetKFCurveNodeForward(nullptr, "Scaling", "Z"); }

private:
    // The node reached through the non-null names, or null.
    KFCurveNode* FindPath(const char* first, const char* second) const;
    KFCurve* Found(KFCurveNode* node);

    KString mName;
    KFCurveNode* mRoot = nullptr;
    ErrorHolder mError;
};

}  // namespace fbxsdk_2006_11_1

#endif
