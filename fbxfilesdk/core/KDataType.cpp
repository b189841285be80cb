#include <fbxfilesdk/core/KDataType.h>

#include <fbxfilesdk/core/KNumberText.h>
#include <fbxfilesdk/core/KSettingsFile.h>
#include <fbxfilesdk/core/KTime.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// ---- the built-in types, in the order they are listed at start-up ---------

constinit KDataTypeNumber sNumber(KDataType::kStatic, "Number", nullptr);
constinit KDataTypeTime sTime(KDataType::kStatic, "Time", nullptr);
constinit KDataTypeVector sVector(KDataType::kStatic, "Vector", nullptr);
constinit KDataTypeVector4 sVector4(KDataType::kStatic, "Vector4", nullptr);
constinit KDataTypeMatrix sMatrix(KDataType::kStatic, "Matrix", nullptr);
constinit KDataTypeNumber sReal(KDataType::kStatic, "Real", &sNumber);
constinit KDataTypeNumber sInteger(KDataType::kStatic, "Integer", &sNumber);
constinit KDataTypeNumber sFloat(KDataType::kStatic, "Float", &sNumber);
constinit KDataTypeNumber sAction(KDataType::kStatic, "Action", &sNumber);
constinit KDataTypeNumber sIntensity(KDataType::kStatic, "Intensity", &sNumber);
constinit KDataTypeNumber sConeAngle(KDataType::kStatic, "Cone angle", &sNumber);
constinit KDataTypeNumber sFog(KDataType::kStatic, "Fog", &sNumber);
constinit KDataTypeNumber sShape(KDataType::kStatic, "Shape", &sNumber);
constinit KDataTypeNumber sFieldOfView(KDataType::kStatic, "FieldOfView", &sNumber);
constinit KDataTypeNumber sFieldOfViewX(KDataType::kStatic, "FieldOfViewX", &sNumber);
constinit KDataTypeNumber sFieldOfViewY(KDataType::kStatic, "FieldOfViewY", &sNumber);
constinit KDataTypeNumber sOpticalCenterX(KDataType::kStatic, "OpticalCenterX", &sNumber);
constinit KDataTypeNumber sOpticalCenterY(KDataType::kStatic, "OpticalCenterY", &sNumber);
constinit KDataTypeNumber sRoll(KDataType::kStatic, "Roll", &sNumber);
constinit KDataTypeNumber sCameraIndex(KDataType::kStatic, "Camera Index", &sNumber);
constinit KDataTypeNumber sTimeWarp(KDataType::kStatic, "TimeWarp", &sNumber);
constinit KDataTypeNumber sVisibility(KDataType::kStatic, "Visibility", &sNumber);
constinit KDataTypeNumber sBool(KDataType::kStatic, "Bool", &sNumber);
constinit KDataTypeNumber sEnum(KDataType::kStatic, "Enum", &sNumber);
constinit KDataTypeColor sColor(KDataType::kStatic, "Color", &sVector);
constinit KDataTypeColorAndAlpha sColorAndAlpha(KDataType::kStatic, "ColorAndAlpha", &sVector4);
constinit KDataTypeTranslationUV sTranslationUV(KDataType::kStatic, "Translation UV", &sVector);
constinit KDataTypeScalingUV sScalingUV(KDataType::kStatic, "Scaling UV", &sVector);
constinit KDataTypeColorHSB sColorHSB(KDataType::kStatic, "HSB", &sVector);
constinit KDataTypeVector sTranslation(KDataType::kStatic, "Translation", &sVector);
constinit KDataTypeVector sScaling(KDataType::kStatic, "Scaling", &sVector);
constinit KDataTypeVector sRotation(KDataType::kStatic, "Rotation", &sVector);
constinit KDataTypeVector sLclTranslation(KDataType::kStatic, "Lcl Translation", &sVector);
constinit KDataTypeVector sLclScaling(KDataType::kStatic, "Lcl Scaling", &sVector);
constinit KDataTypeVector sLclRotation(KDataType::kStatic, "Lcl Rotation", &sVector);
constinit KDataTypeMatrix sMatrixTranslation(KDataType::kStatic, "Matrix Translation", &sMatrix);
constinit KDataTypeMatrix sMatrixScaling(KDataType::kStatic, "Matrix Scaling", &sMatrix);
constinit KDataTypeMatrix sMatrixRotation(KDataType::kStatic, "Matrix Rotation", &sMatrix);
constinit KDataTypeMatrix sMatrixTransformation(KDataType::kStatic, "Matrix Transformation", &sMatrix);
constinit KDataTypeVector sOrientation(KDataType::kStatic, "Orientation", &sVector);
constinit KDataTypeVector sLookAt(KDataType::kStatic, "Look at", &sVector);
constinit KDataTypeVector4 sQuaternion(KDataType::kStatic, "Quaternion", &sVector4);
constinit KDataTypeVector4 sLclQuaternion(KDataType::kStatic, "Lcl Quaternion", &sVector4);
constinit KDataTypeNumber sOcclusion(KDataType::kStatic, "Occlusion", &sNumber);
constinit KDataTypeNumber sWeight(KDataType::kStatic, "Weight", &sNumber);
constinit KDataTypeNumber sIKReachTranslation(KDataType::kStatic, "IK Reach Translation", &sNumber);
constinit KDataTypeNumber sIKReachRotation(KDataType::kStatic, "IK Reach Rotation", &sNumber);

// ---- the registry ---------------------------------------------------------

// Trivially destructible and constant-initialised, so it is usable from any
// static initialiser and from the types' destructors at exit.
struct Registry {
    std::array<KDataType*, KDataType::kRegistryCapacity> mEntries;
    int mCount;
};

constinit Registry gRegistry{
    {&sNumber,         &sTime,          &sVector,         &sVector4,           &sMatrix,
     &sReal,           &sInteger,       &sFloat,          &sAction,            &sIntensity,
     &sConeAngle,      &sFog,           &sShape,          &sFieldOfView,       &sFieldOfViewX,
     &sFieldOfViewY,   &sOpticalCenterX, &sOpticalCenterY, &sRoll,             &sCameraIndex,
     &sTimeWarp,       &sVisibility,    &sBool,           &sEnum,              &sColor,
     &sColorAndAlpha,  &sTranslationUV, &sScalingUV,      &sColorHSB,          &sTranslation,
     &sScaling,        &sRotation,      &sLclTranslation, &sLclScaling,        &sLclRotation,
     &sMatrixTranslation, &sMatrixScaling, &sMatrixRotation, &sMatrixTransformation, &sOrientation,
     &sLookAt,         &sQuaternion,    &sLclQuaternion,  &sOcclusion,         &sWeight,
     &sIKReachTranslation, &sIKReachRotation},
    KDataType::kBuiltInCount};

// Byte-wise, as unsigned characters (strcmp compares that way).
bool NameLess(const KDataType* left, const char* right) { return std::strcmp(left->GetName(), right) < 0; }
bool NameLessThanType(const char* left, const KDataType* right) { return std::strcmp(left, right->GetName()) < 0; }

// The registry, its built-in entries sorted on first use.
std::atomic<std::uint64_t> gRegistryGeneration{0};

void RegistryChanged() { gRegistryGeneration.fetch_add(1, std::memory_order_relaxed); }

Registry& Table() {
    static const bool sorted = [] {
        std::stable_sort(gRegistry.mEntries.begin(), gRegistry.mEntries.begin() + gRegistry.mCount,
                         [](const KDataType* a, const KDataType* b) { return NameLess(a, b->GetName()); });
        return true;
    }();
    (void)sorted;
    return gRegistry;
}

KDataType** TableBegin(Registry& table) { return table.mEntries.data(); }
KDataType** TableEnd(Registry& table) { return table.mEntries.data() + table.mCount; }

// Writes count zero doubles; false for a null out.
bool ZeroDoubles(void* out, int count) {
    if (out == nullptr) {
        return false;
    }
    std::fill_n(static_cast<double*>(out), count, 0.0);
    return true;
}

const char* ChannelName(const char* const* names, int count, int index) {
    return index >= 0 && index < count ? names[index] : "?";
}

// Formats count doubles as "{a,b,...}" with the process's decimal count.
bool FormatBraced(char* buffer, int size, const double* values, int count) {
    if (buffer == nullptr || size < 1) {
        return false;
    }
    const int decimals = KDataType::GetDecimalCount();
    // Wide enough for sixteen numbers of any magnitude at the widest decimal count.
    char text[16 * 400 + 4];
    int length = 0;
    text[length++] = '{';
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            text[length++] = ',';
        }
        length += FormatFixed(text + length, static_cast<int>(sizeof(text)) - length - 2, values[i], decimals);
    }
    text[length++] = '}';
    text[length] = '\0';
    const int copied = std::min(length, size - 1);
    std::memcpy(buffer, text, static_cast<std::size_t>(copied));
    buffer[copied] = '\0';
    return true;
}

// "{n1,n2,...}": every component but the last followed directly by ',', the
// last by '}'. Components read before a failure stay stored.
bool ParseBraced(const char* text, double* values, int count) {
    if (text == nullptr || text[0] != '{') {
        return false;
    }
    const char* p = text + 1;
    for (int i = 0; i < count; ++i) {
        const char* end = nullptr;
        if (!ReadLeadingDouble(p, values[i], &end)) {
            return false;
        }
        const char expected = i + 1 < count ? ',' : '}';
        if (*end != expected) {
            return false;
        }
        p = end + 1;
    }
    return true;
}

}  // namespace

KDataType* const gKDataTypeNumber = &sNumber;
KDataType* const gKDataTypeTime = &sTime;
KDataType* const gKDataTypeVector = &sVector;
KDataType* const gKDataTypeVector4 = &sVector4;
KDataType* const gKDataTypeMatrix = &sMatrix;
KDataType* const gKDataTypeReal = &sReal;
KDataType* const gKDataTypeInteger = &sInteger;
KDataType* const gKDataTypeFloat = &sFloat;
KDataType* const gKDataTypeAction = &sAction;
KDataType* const gKDataTypeIntensity = &sIntensity;
KDataType* const gKDataTypeConeAngle = &sConeAngle;
KDataType* const gKDataTypeFog = &sFog;
KDataType* const gKDataTypeShape = &sShape;
KDataType* const gKDataTypeFieldOfView = &sFieldOfView;
KDataType* const gKDataTypeFieldOfViewX = &sFieldOfViewX;
KDataType* const gKDataTypeFieldOfViewY = &sFieldOfViewY;
KDataType* const gKDataTypeOpticalCenterX = &sOpticalCenterX;
KDataType* const gKDataTypeOpticalCenterY = &sOpticalCenterY;
KDataType* const gKDataTypeRoll = &sRoll;
KDataType* const gKDataTypeCameraIndex = &sCameraIndex;
KDataType* const gKDataTypeTimeWarp = &sTimeWarp;
KDataType* const gKDataTypeVisibility = &sVisibility;
KDataType* const gKDataTypeBool = &sBool;
KDataType* const gKDataTypeEnum = &sEnum;
KDataType* const gKDataTypeColor = &sColor;
KDataType* const gKDataTypeColorAndAlpha = &sColorAndAlpha;
KDataType* const gKDataTypeTranslationUV = &sTranslationUV;
KDataType* const gKDataTypeScalingUV = &sScalingUV;
KDataType* const gKDataTypeColorHSB = &sColorHSB;
KDataType* const gKDataTypeTranslation = &sTranslation;
KDataType* const gKDataTypeScaling = &sScaling;
KDataType* const gKDataTypeRotation = &sRotation;
KDataType* const gKDataTypeLclTranslation = &sLclTranslation;
KDataType* const gKDataTypeLclScaling = &sLclScaling;
KDataType* const gKDataTypeLclRotation = &sLclRotation;
KDataType* const gKDataTypeMatrixTranslation = &sMatrixTranslation;
KDataType* const gKDataTypeMatrixScaling = &sMatrixScaling;
KDataType* const gKDataTypeMatrixRotation = &sMatrixRotation;
KDataType* const gKDataTypeMatrixTransformation = &sMatrixTransformation;
KDataType* const gKDataTypeOrientation = &sOrientation;
KDataType* const gKDataTypeLookAt = &sLookAt;
KDataType* const gKDataTypeQuaternion = &sQuaternion;
KDataType* const gKDataTypeLclQuaternion = &sLclQuaternion;
KDataType* const gKDataTypeOcclusion = &sOcclusion;
KDataType* const gKDataTypeWeight = &sWeight;
KDataType* const gKDataTypeIKReachTranslation = &sIKReachTranslation;
KDataType* const gKDataTypeIKReachRotation = &sIKReachRotation;

// ---- KDataType ------------------------------------------------------------

KDataType::KDataType(const char* name, bool registerIt) : mName(""), mBaseType(this) {
    // A name given from a temporary must outlive it: the type keeps a copy.
    if (name != nullptr) {
        const std::size_t length = std::strlen(name);
        mOwnedName.reset(new (std::nothrow) char[length + 1]);
        if (mOwnedName) {
            std::memcpy(mOwnedName.get(), name, length + 1);
            mName = mOwnedName.get();
        }
    }
    if (registerIt) {
        Register(this);
    }
}

KDataType::~KDataType() {
    Registry& table = gRegistry;
    KDataType** end = TableEnd(table);
    KDataType** found = std::find(TableBegin(table), end, this);
    if (found != end) {
        std::copy(found + 1, end, found);
        --table.mCount;
        RegistryChanged();
    }
}

void KDataType::SetValueShape(int valueSize, int componentCount) {
    mValueSize = valueSize;
    mComponentCount = componentCount;
}

void KDataType::SetBaseType(KDataType* baseType) {
    mBaseType = baseType;
    RegistryChanged();
}

std::uint64_t KDataType::GetRegistryGeneration() { return gRegistryGeneration.load(std::memory_order_relaxed); }

bool KDataType::GetZeroValue(void*) const { return false; }

bool KDataType::FromString(const char*, void*) const { return false; }

bool KDataType::ToString(char*, int, const void*) const { return false; }

const char* KDataType::GetChannelName(int) const { return nullptr; }

KDataType* KDataType::Register(KDataType* type) {
    if (type == nullptr) {
        return nullptr;
    }
    Registry& table = Table();
    KDataType** begin = TableBegin(table);
    KDataType** end = TableEnd(table);
    KDataType** first = std::lower_bound(begin, end, type->GetName(), NameLess);
    KDataType* existing = first != end && std::strcmp((*first)->GetName(), type->GetName()) == 0 ? *first : nullptr;
    if (table.mCount >= kRegistryCapacity) {
        return existing;
    }
    // Beside (after) any type of the same name, so lookups keep finding the first.
    KDataType** at = std::upper_bound(begin, end, type->GetName(), NameLessThanType);
    std::copy_backward(at, end, end + 1);
    *at = type;
    ++table.mCount;
    RegistryChanged();
    return existing;
}

KDataType* KDataType::Find(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    // Files name this type either way.
    if (std::strcmp(name, "Trigger") == 0) {
        name = "Action";
    }
    Registry& table = Table();
    KDataType** end = TableEnd(table);
    KDataType** found = std::lower_bound(TableBegin(table), end, name, NameLess);
    return found != end && std::strcmp((*found)->GetName(), name) == 0 ? *found : nullptr;
}

int KDataType::GetRegisteredCount() { return Table().mCount; }

KDataType* KDataType::GetRegisteredAt(int index) {
    Registry& table = Table();
    return index >= 0 && index < table.mCount ? table.mEntries[index] : nullptr;
}

int KDataType::GetDecimalCount() {
    static const int count = [] {
        KSettingsFile settings("@Application.txt", false);
        int value = 0;
        ReadLeadingInt(settings.GetValue("NumericField", "Decimal", "2"), value);
        return value < 0 ? 0 : value;
    }();
    return count;
}

// ---- the five base classes ------------------------------------------------

KDataTypeNumber::KDataTypeNumber(const char* name) : KDataType(name, true) { SetValueShape(8, 1); }

bool KDataTypeNumber::GetZeroValue(void* out) const { return ZeroDoubles(out, 1); }

bool KDataTypeNumber::FromString(const char* text, void* out) const {
    if (out == nullptr) {
        return false;
    }
    double value = 0.0;
    ReadLeadingDouble(text, value);
    *static_cast<double*>(out) = value;
    return true;
}

bool KDataTypeNumber::ToString(char* buffer, int size, const void* value) const {
    if (buffer == nullptr || size < 1 || value == nullptr) {
        return false;
    }
    FormatFixed(buffer, size, *static_cast<const double*>(value), GetDecimalCount());
    return true;
}

KDataTypeVector::KDataTypeVector(const char* name) : KDataType(name, true) { SetValueShape(24, 3); }

bool KDataTypeVector::GetZeroValue(void* out) const { return ZeroDoubles(out, 3); }

bool KDataTypeVector::FromString(const char* text, void* out) const {
    return out != nullptr && ParseBraced(text, static_cast<double*>(out), 3);
}

bool KDataTypeVector::ToString(char* buffer, int size, const void* value) const {
    return value != nullptr && FormatBraced(buffer, size, static_cast<const double*>(value), 3);
}

const char* KDataTypeVector::GetChannelName(int index) const {
    static const char* const kNames[] = {"x", "y", "z"};
    return ChannelName(kNames, 3, index);
}

KDataTypeVector4::KDataTypeVector4(const char* name) : KDataType(name, true) { SetValueShape(32, 4); }

bool KDataTypeVector4::GetZeroValue(void* out) const { return ZeroDoubles(out, 4); }

bool KDataTypeVector4::FromString(const char* text, void* out) const {
    return out != nullptr && ParseBraced(text, static_cast<double*>(out), 4);
}

bool KDataTypeVector4::ToString(char* buffer, int size, const void* value) const {
    return value != nullptr && FormatBraced(buffer, size, static_cast<const double*>(value), 4);
}

const char* KDataTypeVector4::GetChannelName(int index) const {
    static const char* const kNames[] = {"x", "y", "z", "w"};
    return ChannelName(kNames, 4, index);
}

KDataTypeTime::KDataTypeTime(const char* name) : KDataType(name, true) { SetValueShape(8, 0); }

bool KDataTypeTime::GetZeroValue(void* out) const {
    if (out == nullptr) {
        return false;
    }
    *static_cast<KTime*>(out) = KTime(0);
    return true;
}

bool KDataTypeTime::FromString(const char* text, void* out) const {
    if (out == nullptr) {
        return false;
    }
    KTime time(0);
    if (text != nullptr) {
        time.ParseTimeString(text, KTime::eDefaultMode, KTime::eDefaultForm);
    }
    *static_cast<KTime*>(out) = time;
    return true;
}

bool KDataTypeTime::ToString(char* buffer, int size, const void* value) const {
    if (buffer == nullptr || size < 1 || value == nullptr) {
        return false;
    }
    static_cast<const KTime*>(value)->FormatTimeString(buffer, static_cast<std::size_t>(size), 5,
                                                       KTime::eDefaultMode, KTime::eDefaultForm);
    return true;
}

const char* KDataTypeTime::GetChannelName(int) const { return "?"; }

KDataTypeMatrix::KDataTypeMatrix(const char* name) : KDataType(name, true) { SetValueShape(128, 16); }

bool KDataTypeMatrix::GetZeroValue(void* out) const { return ZeroDoubles(out, 16); }

bool KDataTypeMatrix::FromString(const char* text, void* out) const {
    return out != nullptr && ParseBraced(text, static_cast<double*>(out), 16);
}

// All sixteen values, the same form FromString reads, so a written matrix reads back.
bool KDataTypeMatrix::ToString(char* buffer, int size, const void* value) const {
    return value != nullptr && FormatBraced(buffer, size, static_cast<const double*>(value), 16);
}

// ---- vectors with their own channel names ---------------------------------

const char* KDataTypeColor::GetChannelName(int index) const {
    static const char* const kNames[] = {"r", "g", "b"};
    return ChannelName(kNames, 3, index);
}

const char* KDataTypeColorAndAlpha::GetChannelName(int index) const {
    static const char* const kNames[] = {"r", "g", "b", "a"};
    return ChannelName(kNames, 4, index);
}

const char* KDataTypeTranslationUV::GetChannelName(int index) const {
    static const char* const kNames[] = {"U", "V"};
    return ChannelName(kNames, 2, index);
}

const char* KDataTypeScalingUV::GetChannelName(int index) const {
    static const char* const kNames[] = {"U", "V"};
    return ChannelName(kNames, 2, index);
}

const char* KDataTypeColorHSB::GetChannelName(int index) const {
    static const char* const kNames[] = {"H", "S", "B"};
    return ChannelName(kNames, 3, index);
}

}  // namespace fbxsdk_2006_11_1
