// The record-writing half of KFbx.
#include <fbxfilesdk/fbx/KFbx.h>

#include <fbxfilesdk/fbx/FieldAsciiSyntax.h>
#include <fbxfilesdk/fbx/FieldFormat.h>

#include <fbxfilesdk/core/KFbxPath.h>
#include <platform/os/File.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// Names must read back the same in both syntaxes.
bool IsValidName(const char* name, std::size_t length) {
    if (length == 0 || length > static_cast<std::size_t>(kMaxNameLength)) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (!IsAsciiWordChar(name[i])) return false;
    }
    return true;
}

}  // namespace

bool KFbx::CanWriteField() {
    if (!RequireMode(eWrite)) return false;
    if (mWriteFailed) return false;
    if (!mSectionOpen || (!mWriteFrames.empty() && !mWriteFrames.back().blockOpen)) {
        SetError(eInvalidFieldOperation, mSectionOpen ? "a field is open" : "no section is open");
        return false;
    }
    return true;
}

bool KFbx::CanWriteValue() {
    if (!RequireMode(eWrite)) return false;
    if (mWriteFailed) return false;
    if (mWriteFrames.empty() || mWriteFrames.back().blockOpen || mWriteFrames.back().blockDone) {
        SetError(eInvalidFieldOperation, "a value needs an open field before its block");
        return false;
    }
    return true;
}

void KFbx::FieldWriteBegin(const char* name) {
    if (!CanWriteField()) return;
    const std::size_t length = name != nullptr ? std::strlen(name) : 0;
    if (!IsValidName(name, length)) {
        SetError(eInvalidFieldOperation, "bad field name");
        mWriteFailed = true;
        return;
    }
    WriteFailed(mOutput.FlushIfLarge());
    mEncoder->BeginField(name, length);
    mWriteFrames.push_back(WriteFrame());
    // A field's values come before any field of its block begins.
    mFieldName.assign(name, length);
}

void KFbx::FieldWriteEnd() {
    if (!RequireMode(eWrite)) return;
    if (mWriteFailed) return;
    if (mWriteFrames.empty() || mWriteFrames.back().blockOpen) {
        SetError(eInvalidFieldOperation, "no field to end");
        return;
    }
    mWriteFrames.pop_back();
    WriteFailed(mEncoder->EndField());
    WriteFailed(mOutput.FlushIfLarge());
}

void KFbx::FieldWriteBlockBegin() {
    if (!CanWriteValue()) return;
    int depth = 0;
    for (const WriteFrame& frame : mWriteFrames) depth += frame.blockOpen ? 1 : 0;
    if (depth + 1 >= kMaxNestingDepth) {
        SetError(eInvalidFieldOperation, "blocks nested too deeply");
        mWriteFailed = true;
        return;
    }
    mWriteFrames.back().blockOpen = true;
    WriteFailed(mEncoder->BeginBlock());
}

void KFbx::FieldWriteBlockEnd() {
    if (!RequireMode(eWrite)) return;
    if (mWriteFailed) return;
    if (mWriteFrames.empty() || !mWriteFrames.back().blockOpen) {
        SetError(eInvalidFieldOperation, "no block to end");
        return;
    }
    mWriteFrames.back().blockOpen = false;
    mWriteFrames.back().blockDone = true;
    mEncoder->EndBlock();
}

void KFbx::FieldWriteC(char value) {
    if (CanWriteValue()) mEncoder->WriteChar(value);
}

void KFbx::FieldWriteI(int value) {
    if (CanWriteValue()) mEncoder->WriteInt(value);
}

void KFbx::FieldWriteL(std::int64_t value) {
    if (CanWriteValue()) mEncoder->WriteLong(value);
}

void KFbx::CountNotFinite(std::int64_t count) {
    for (auto& field : mNotFinite) {
        if (field.first == mFieldName) {
            field.second += count;
            return;
        }
    }
    mNotFinite.emplace_back(mFieldName, count);
}

namespace {

// The values with each NaN and infinity made 0, and how many were; empty
// when all are finite (or count is 0).
template <typename Number>
std::vector<Number> FiniteCopy(const Number* values, std::size_t count, std::int64_t& notFinite) {
    notFinite = 0;
    for (std::size_t i = 0; i < count; ++i) notFinite += std::isfinite(values[i]) ? 0 : 1;
    if (notFinite == 0) return {};
    std::vector<Number> copy(values, values + count);
    for (Number& value : copy) value = std::isfinite(value) ? value : Number(0);
    return copy;
}

}  // namespace

void KFbx::FieldWriteF(float value) {
    if (!CanWriteValue()) return;
    if (mNotFiniteAsZero && !std::isfinite(value)) {
        CountNotFinite(1);
        value = 0.0f;
    }
    mEncoder->WriteFloat(value);
}

void KFbx::FieldWriteD(double value) {
    if (!CanWriteValue()) return;
    if (mNotFiniteAsZero && !std::isfinite(value)) {
        CountNotFinite(1);
        value = 0.0;
    }
    mEncoder->WriteDouble(value);
}

void KFbx::FieldWriteS(const char* value) {
    if (value == nullptr) value = "";
    if (CanWriteValue()) mEncoder->WriteString(value, std::strlen(value));
}

void KFbx::FieldWriteS(const KString& value) {
    if (CanWriteValue()) mEncoder->WriteString(value.Buffer(), static_cast<std::size_t>(value.GetLen()));
}

void KFbx::FieldWriteT(KTime value) {
    if (GetSectionVersion() < kFirstTickTimeVersion) {
        FieldWriteD(value.GetSecondDouble());
    } else {
        FieldWriteL(value.Get());
    }
}

void KFbx::FieldWriteR(const void* bytes, std::int64_t size) {
    if (!CanWriteValue()) return;
    if (size < 0 || (bytes == nullptr && size > 0)) {
        SetError(eInvalidFieldOperation, "bad raw value");
        return;
    }
    mEncoder->WriteRaw(static_cast<const unsigned char*>(bytes), static_cast<std::size_t>(size));
}

void KFbx::FieldWriteTimeSpan(KTime start, KTime stop) {
    FieldWriteT(start);
    FieldWriteT(stop);
}

void KFbx::FieldWriteVector3(const double* xyz) { FieldWriteArrayD(xyz, 3); }

void KFbx::FieldWriteVector4(const double* xyzw) { FieldWriteArrayD(xyzw, 4); }

void KFbx::FieldWriteNamedVector3(const char* name, const double* xyz) {
    FieldWriteBegin(name);
    FieldWriteVector3(xyz);
    FieldWriteEnd();
}

void KFbx::FieldWriteArrayI(const int* values, std::int64_t count) {
    static_assert(sizeof(int) == sizeof(std::int32_t));
    if (CanWriteValue() && values != nullptr && count > 0) {
        mEncoder->WriteInts(reinterpret_cast<const std::int32_t*>(values), static_cast<std::size_t>(count));
    }
}

void KFbx::FieldWriteArrayL(const std::int64_t* values, std::int64_t count) {
    if (CanWriteValue() && values != nullptr && count > 0) mEncoder->WriteLongs(values, static_cast<std::size_t>(count));
}

void KFbx::FieldWriteArrayF(const float* values, std::int64_t count) {
    if (!CanWriteValue() || values == nullptr || count <= 0) return;
    std::int64_t notFinite = 0;
    const std::vector<float> finite =
        FiniteCopy(values, mNotFiniteAsZero ? static_cast<std::size_t>(count) : 0, notFinite);
    if (notFinite > 0) CountNotFinite(notFinite);
    mEncoder->WriteFloats(notFinite > 0 ? finite.data() : values, static_cast<std::size_t>(count));
}

void KFbx::FieldWriteArrayD(const double* values, std::int64_t count) {
    if (!CanWriteValue() || values == nullptr || count <= 0) return;
    std::int64_t notFinite = 0;
    const std::vector<double> finite =
        FiniteCopy(values, mNotFiniteAsZero ? static_cast<std::size_t>(count) : 0, notFinite);
    if (notFinite > 0) CountNotFinite(notFinite);
    mEncoder->WriteDoubles(notFinite > 0 ? finite.data() : values, static_cast<std::size_t>(count));
}

void KFbx::WriteStringField(const char* name, const char* value) {
    FieldWriteBegin(name);
    FieldWriteS(value);
    FieldWriteEnd();
}

void KFbx::WriteStringValue(const char* value) { FieldWriteS(value); }

void KFbx::WriteComment(const char* text) {
    if (mMode != eWrite || mBinary || mWriteFailed || text == nullptr) return;
    // A comment inside a value list would end the record early.
    if (!mWriteFrames.empty() && !mWriteFrames.back().blockOpen) return;
    mEncoder->WriteComment(text);
}

bool KFbx::FieldWriteMediaContent(const char* path, const char* mediaPath) {
    if (!mBinary || !CanWriteValue()) return false;
    std::string bytes;
    if (!ReadMediaContent(path, mediaPath, bytes)) return false;
    mEncoder->WriteRaw(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return true;
}

bool KFbx::ReadMediaContent(const char* path, const char* mediaPath, std::string& bytes) {
    // Content past what one value holds stays outside the file.
    if (path != nullptr && qalimor::os::ReadRegularFile(path, kMaxStringLength, bytes)) return true;
    const int failure = path != nullptr ? errno : ENOENT;
    if (mediaPath != nullptr && qalimor::os::ReadRegularFile(mediaPath, kMaxStringLength, bytes)) return true;
    errno = failure;
    return false;
}

KString KFbx::GetMediaFilePath(const char* fileName) const {
    const KString name = KFbxExtractFileName(KString(fileName != nullptr ? fileName : ""), true);
    if (mFileName.IsEmpty()) return name;
    // The customary media folder: the file's own name with ".fbm" for extension.
    return KFbxChangeExtension(mFileName, KString(".fbm")) + "/" + name;
}

}  // namespace fbxsdk_2006_11_1
