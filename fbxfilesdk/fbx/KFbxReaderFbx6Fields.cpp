#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>

#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {
namespace fbx6read {

KString NextS(KFbx& file, const char* fallback) {
    return file.FieldGetRemainingValueCount() > 0 ? file.FieldReadS() : KString(fallback);
}

void NextS(KFbx& file, std::string& out) {
    if (file.FieldGetRemainingValueCount() > 0) {
        file.FieldReadS(out);
    } else {
        out.clear();
    }
}

int NextI(KFbx& file, int fallback) { return file.FieldGetRemainingValueCount() > 0 ? file.FieldReadI() : fallback; }

double NextD(KFbx& file, double fallback) {
    return file.FieldGetRemainingValueCount() > 0 ? file.FieldReadD() : fallback;
}

KTime NextT(KFbx& file) { return file.FieldGetRemainingValueCount() > 0 ? file.FieldReadT() : KTime(); }

namespace {

template <class T>
std::vector<T> Rest(KFbx& file, int (KFbx::*readArray)(T*, int)) {
    std::vector<T> values(static_cast<std::size_t>(file.FieldGetRemainingValueCount()));
    if (!values.empty()) {
        values.resize(static_cast<std::size_t>((file.*readArray)(values.data(), static_cast<int>(values.size()))));
    }
    return values;
}

}  // namespace

std::vector<double> RestD(KFbx& file) { return Rest(file, &KFbx::FieldReadArrayD); }

std::vector<int> RestI(KFbx& file) { return Rest(file, &KFbx::FieldReadArrayI); }

std::vector<KString> RestS(KFbx& file) {
    std::vector<KString> values;
    while (file.FieldGetRemainingValueCount() > 0) {
        values.push_back(file.FieldReadS());
    }
    return values;
}

namespace {

template <class T>
bool ReadWhole(KFbx& file, const char* name, std::vector<T>& out, std::vector<T> (*rest)(KFbx&)) {
    if (!file.FieldReadBegin(name)) {
        return false;
    }
    out = rest(file);
    file.FieldReadEnd();
    return true;
}

}  // namespace

bool ReadDoubles(KFbx& file, const char* name, std::vector<double>& out) { return ReadWhole(file, name, out, &RestD); }

bool ReadInts(KFbx& file, const char* name, std::vector<int>& out) { return ReadWhole(file, name, out, &RestI); }

double ReadD(KFbx& file, const char* name, double fallback) {
    if (!file.FieldReadBegin(name)) {
        return fallback;
    }
    const double value = NextD(file, fallback);
    file.FieldReadEnd();
    return value;
}

bool ReadMatrix(KFbx& file, const char* name, KgeMatrix& out) {
    std::vector<double> values;
    if (!ReadDoubles(file, name, values) || values.size() < 16) {
        return false;
    }
    out = KgeMatrix(values.data());
    out.CopyFrom16(values.data());
    return true;
}

bool ReadTimeSpan(KFbx& file, const char* name, KTime& start, KTime& stop) {
    if (!file.FieldReadBegin(name)) {
        return false;
    }
    start = NextT(file);
    stop = NextT(file);
    file.FieldReadEnd();
    return true;
}

double GetPropertyComponent(const KFbxProperty& property, int component) {
    switch (property.GetPropertyDataType().GetType()) {
        case eFbxValueDouble3:
            return component >= 0 && component < 3 ? property.GetDouble3()[component] : 0.0;
        case eFbxValueDouble4:
            return component >= 0 && component < 4 ? property.GetDouble4()[component] : 0.0;
        case eFbxValueDouble44:
            return component >= 0 && component < 16 ? property.GetDouble44()[component / 4][component % 4] : 0.0;
        default:
            return property.GetDouble();
    }
}

void SetPropertyComponent(KFbxProperty& property, int component, double value) {
    const EFbxValueType type = property.GetPropertyDataType().GetType();
    switch (type) {
        case eFbxValueBool: {
            const bool on = value != 0.0;
            property.Set(&on, type);
            break;
        }
        case eFbxValueInteger:
        case eFbxValueEnum: {
            const int whole =
                std::isnan(value) ? 0 : static_cast<int>(std::lround(std::clamp(value, -2147483648.0, 2147483647.0)));
            property.Set(&whole, type);
            break;
        }
        case eFbxValueFloat: {
            const auto single = static_cast<float>(value);
            property.Set(&single, type);
            break;
        }
        case eFbxValueDouble:
            property.Set(&value, type);
            break;
        case eFbxValueDouble3:
            if (component >= 0 && component < 3) {
                fbxDouble3 vector = property.GetDouble3();
                vector[component] = value;
                property.Set(&vector, type);
            }
            break;
        case eFbxValueDouble4:
            if (component >= 0 && component < 4) {
                fbxDouble4 vector = property.GetDouble4();
                vector[component] = value;
                property.Set(&vector, type);
            }
            break;
        case eFbxValueDouble44:
            if (component >= 0 && component < 16) {
                fbxDouble44 matrix = property.GetDouble44();
                matrix[component / 4][component % 4] = value;
                property.Set(&matrix, type);
            }
            break;
        default:
            break;
    }
}

KString WithoutPrefix(const KString& prefixed) {
    const char* text = prefixed.Buffer();
    const char* separator = std::strstr(text, "::");
    return KString(separator != nullptr ? separator + 2 : text);
}

int ProducerCameraOf(const KString& name, const KString& type) {
    if (type != "Camera") {
        return -1;
    }
    for (int which = 0; which < KFbxGlobalCameraSettings::ePRODUCER_CAMERA_COUNT; ++which) {
        const char* producer = KFbxGlobalCameraSettings::GetProducerCameraName(which);
        if (producer != nullptr && name == producer) {
            return which;
        }
    }
    return -1;
}

}  // namespace fbx6read
}  // namespace fbxsdk_2006_11_1
