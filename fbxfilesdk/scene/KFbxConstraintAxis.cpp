#include <fbxfilesdk/scene/KFbxConstraintAxis.h>

namespace fbxsdk_2006_11_1 {

KFbxConstraintAxis::KFbxConstraintAxis(KFbxSdkManager* manager, const char* name) : KFbxConstraint(manager, name) {}

void KFbxConstraintAxis::ConstructAxisConstraint(const char* offsetName) {
    ConstructTwin();
    InitBoolHandle(Lock, "Lock", false);
    InitBoolHandle(Active, "Active", true);
    InitBoolHandle(AffectX, "AffectX", true);
    InitBoolHandle(AffectY, "AffectY", true);
    InitBoolHandle(AffectZ, "AffectZ", true);
    InitVectorHandle(Offset, offsetName, fbxDouble3(0.0, 0.0, 0.0));
    InitNumberHandle(Weight, "Weight", gKFbxDataTypeWeight, 100.0);
    InitObjectHandle(ConstrainedObject, "Constrained Object");
    InitObjectHandle(ConstraintSources, "Source");
    SetListHandles(&ConstrainedObject, &ConstraintSources);
}

void KFbxConstraintAxis::SetOffset(const KFbxVector4& offset) { WriteVector(Offset, offset); }

}  // namespace fbxsdk_2006_11_1
