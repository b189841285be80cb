// The "Properties60" block: one "Property" record per property of an object
// (and, for a node, of its attribute), with its type name, flag letters and
// value.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <climits>
#include <cmath>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

// A limit as an integer, truncated toward zero; limits beyond the integer
// range (an unset limit is infinite) become the nearest integer.
int LimitAsInt(double limit) {
    if (std::isnan(limit)) {
        return 0;
    }
    if (limit <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    if (limit >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(limit);
}

std::string FlagLetters(const KFbxProperty& property) {
    std::string letters;
    if (property.GetFlag(KFbxProperty::kAnimatable)) {
        letters += 'A';
        if (property.GetFlag(KFbxProperty::kPublicFlag8)) {
            letters += '+';
        }
    }
    if (property.GetFlag(KFbxProperty::kUser)) {
        letters += 'U';
    }
    return letters;
}

// Writes the two limits of an animatable user number. A property with
// neither limit set is written with its value as both, without giving it
// limits: the scene is not changed by being written.
template <typename WriteLimit>
void WriteLimits(const KFbxProperty& property, double value, WriteLimit writeLimit) {
    double min = property.GetMinLimit();
    double max = property.GetMaxLimit();
    if (std::isinf(min) && min < 0 && std::isinf(max) && max > 0) {
        min = value;
        max = value;
    }
    writeLimit(min);
    writeLimit(max);
}

void WriteValue(KFbx& fbx, const KFbxProperty& property) {
    const KFbxDataType dataType = property.GetPropertyDataType();
    WritePropertyValue(fbx, property);
    // Animatable user numbers carry their limits after their value.
    const bool withLimits =
        property.GetFlag(KFbxProperty::kAnimatable) && property.GetFlag(KFbxProperty::kUser);
    if (withLimits && dataType.GetType() == eFbxValueInteger) {
        int value = 0;
        property.Get(&value, eFbxValueInteger);
        WriteLimits(property, value, [&fbx](double limit) { fbx.FieldWriteI(LimitAsInt(limit)); });
    } else if (withLimits && dataType.GetType() == eFbxValueDouble) {
        double value = 0.0;
        property.Get(&value, eFbxValueDouble);
        WriteLimits(property, value, [&fbx](double limit) { fbx.FieldWriteD(limit); });
    }
    if (dataType.GetType() == eFbxValueEnum && property.GetFlag(KFbxProperty::kUser)) {
        std::string names;
        for (int i = 0; i < property.GetEnumCount(); ++i) {
            if (i > 0) {
                names += '~';
            }
            const char* name = property.GetEnumValue(i);
            names += name != nullptr ? name : "";
        }
        fbx.FieldWriteS(names.c_str());
    }
}

void WriteProperty(KFbx& fbx, const KFbxProperty& property) {
    const KFbxDataType dataType = property.GetPropertyDataType();
    fbx.FieldWriteBegin("Property");
    fbx.FieldWriteS(property.GetName());
    const char* typeName = property.GetFlag(KFbxProperty::kAnimatable) ? dataType.GetName()
                                                                       : KFbxDataTypeToTypeName(dataType);
    fbx.FieldWriteS(typeName != nullptr ? typeName : "unknown");
    fbx.FieldWriteS(FlagLetters(property).c_str());
    WriteValue(fbx, property);
    fbx.FieldWriteEnd();
}

}  // namespace

bool KFbxWriterFbx6::WriteProperties(KFbxObject& object) {
    const int ownCount = object.GetPropertyCount();
    // Only a model's block carries its attribute's properties after its own;
    // other objects with attribute sources (a boundary and its curves) would
    // list their sources' properties as their own.
    KFbxObject* attribute =
        object.Is(KFbxNode::ClassId) ? object.GetSrcObject(KFbxNodeAttribute::ClassId, 0) : nullptr;
    const int count = ownCount + (attribute != nullptr ? attribute->GetPropertyCount() : 0);
    mFbx->FieldWriteBegin("Properties60");
    mFbx->FieldWriteBlockBegin();
    for (int i = 0; i < count; ++i) {
        const KFbxProperty property = i < ownCount ? object.GetPropertyAt(i) : attribute->GetPropertyAt(i - ownCount);
        if (property.IsValid()) {
            WriteProperty(*mFbx, property);
        }
    }
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
    return true;
}

bool KFbxWriterFbx6::WriteModelProperties(KFbxNode& node) {
    node.UpdatePropertiesFromPivotsAndLimits();
    WriteProperties(node);
    return true;
}

}  // namespace fbxsdk_2006_11_1
