#include <fbxfilesdk/fbx/ShapeNames.h>

#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1 {

void ShapeNames::Reserve(const char* name) {
    if (name != nullptr && name[0] != '\0') {
        mFileNames.try_emplace(name, false);
    }
}

int ShapeNames::Add(KFbxShape& shape, const char* name, KString& given, const char*& why) {
    why = nullptr;
    given = name != nullptr ? name : "";
    const int index = mGeometry.AddShape(&shape, given.Buffer());
    const int error = index < 0 ? mGeometry.GetLastErrorID() : -1;
    if (error != KFbxGeometry::eSHAPE_INVALID_NAME && error != KFbxGeometry::eSHAPE_NAME_CLASH) {
        if (index >= 0) {
            mFileNames[given.Buffer()] = true;
        }
        return index;
    }
    if (error == KFbxGeometry::eSHAPE_INVALID_NAME) {
        why = "a shape needs a name";
        given = Unused("Shape");
    } else {
        bool& claimed = mFileNames[given.Buffer()];
        why = claimed ? "an earlier shape of the geometry has that name" : "the geometry has a property of that name";
        claimed = true;
        given = Unused(given.Buffer());
    }
    return mGeometry.AddShape(&shape, given.Buffer());
}

KString ShapeNames::Unused(const char* base) {
    const KFbxNode* node = mGeometry.GetNode();
    KString name;
    do {
        name = base;
        mNumbers.Rename(name);
    } while (mFileNames.count(name.Buffer()) != 0 || mGeometry.FindProperty(name.Buffer()).IsValid() ||
             (node != nullptr && node->FindProperty(name.Buffer()).IsValid()));
    return name;
}

}  // namespace fbxsdk_2006_11_1
