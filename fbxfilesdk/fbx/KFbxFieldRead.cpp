// The record-reading half of KFbx.
#include <fbxfilesdk/fbx/KFbx.h>

#include <fbxfilesdk/fbx/FieldFormat.h>

#include <climits>
#include <cstring>

namespace fbxsdk_2006_11_1 {

bool KFbx::SelectSection(int section) {
    if (mMode != eRead || section < 0 || section >= static_cast<int>(mTree.sections.size())) return false;
    mCurrentSection = section;
    mDepth = 0;
    EnterLevel(mTree.sections[section].childBegin, mTree.sections[section].childCount);
    return true;
}

void KFbx::EnterLevel(std::uint32_t childBegin, std::uint32_t childCount) {
    if (static_cast<int>(mLevels.size()) <= mDepth) mLevels.resize(static_cast<std::size_t>(mDepth) + 1);
    ReadLevel& level = mLevels[mDepth];
    level.childBegin = childBegin;
    level.childCount = childCount;
    level.openField = -1;
    level.nextByName.clear();
    level.cursor.Clear();
}

bool KFbx::FieldReadBegin(const char* name) {
    if (!RequireMode(eRead)) return false;
    if (name == nullptr) return false;
    ReadLevel& level = mLevels[mDepth];
    std::size_t resume = 0;
    const std::uint32_t i = FindNextField(name, resume);
    if (i >= level.childCount) return false;
    if (resume < level.nextByName.size()) {
        level.nextByName[resume] = i + 1;
    } else {
        level.nextByName.push_back(i + 1);
    }
    level.openField = level.childBegin + i;
    level.cursor.Open(mImage.Data(), mTree.nodes[level.childBegin + i], mBinary);
    return true;
}

bool KFbx::FieldReadExists(const char* name) const {
    std::size_t resume = 0;
    return mMode == eRead && name != nullptr && FindNextField(name, resume) < mLevels[mDepth].childCount;
}

std::uint32_t KFbx::FindNextField(const char* name, std::size_t& resume) const {
    const ReadLevel& level = mLevels[mDepth];
    const std::size_t length = std::strlen(name);
    // Each name resumes after the last field of that name already reached.
    const unsigned char* image = mImage.Data();
    const FieldNode* children = mTree.nodes.data() + level.childBegin;
    // The first byte tells most names of the same length apart without a call.
    const auto named = [&](const FieldNode& node) {
        return node.nameLength == length &&
               (length == 0 || image[node.nameBegin] == static_cast<unsigned char>(name[0])) &&
               std::memcmp(image + node.nameBegin, name, length) == 0;
    };
    const std::size_t names = level.nextByName.size();
    resume = 0;
    while (resume < names && !named(children[level.nextByName[resume] - 1])) {
        ++resume;
    }
    std::uint32_t i = resume < names ? level.nextByName[resume] : 0;
    for (; i < level.childCount && !named(children[i]); ++i) {
    }
    return i;
}

void KFbx::FieldReadEnd() {
    if (mMode != eRead) return;
    const std::int64_t open = mLevels[mDepth].openField;
    if (open >= 0) {
        // Values are mostly read once: the text of a large array need not
        // stay in memory beside what was made of it.
        const FieldNode& node = mTree.nodes[static_cast<std::size_t>(open)];
        mImage.Release(node.valuesBegin, node.valuesEnd);
    }
    mLevels[mDepth].openField = -1;
    mLevels[mDepth].cursor.Clear();
}

bool KFbx::FieldReadBlockBegin() {
    if (!RequireMode(eRead)) return false;
    const ReadLevel& level = mLevels[mDepth];
    if (level.openField < 0 || !mTree.nodes[level.openField].hasBlock) return false;
    const FieldNode& node = mTree.nodes[level.openField];
    ++mDepth;
    EnterLevel(node.childBegin, node.childCount);
    return true;
}

void KFbx::FieldReadBlockEnd() {
    if (mMode != eRead || mDepth == 0) {
        SetError(mMode == eClosed ? eFileNotOpened : eInvalidFieldOperation, mMode == eRead ? "no block to end" : "");
        return;
    }
    --mDepth;
}

std::uint32_t KFbx::FieldReadBlockFieldCount() const { return mMode == eRead ? mLevels[mDepth].childCount : 0; }

int KFbx::FieldGetRemainingValueCount() const {
    if (mMode != eRead || mLevels[mDepth].openField < 0) return 0;
    return static_cast<int>(mLevels[mDepth].cursor.Remaining());
}

char KFbx::FieldGetValueType() const {
    if (mMode != eRead || mLevels[mDepth].openField < 0) return FieldType::kString;
    return mLevels[mDepth].cursor.PeekType();
}

std::string KFbx::OpenFieldName() const {
    const std::int64_t open = mLevels[mDepth].openField;
    if (open < 0) return std::string();
    const FieldNode& node = mTree.nodes[open];
    return std::string(reinterpret_cast<const char*>(mImage.Data() + node.nameBegin), node.nameLength);
}

FieldValueCursor* KFbx::OpenCursor() {
    if (!RequireMode(eRead)) return nullptr;
    if (mLevels[mDepth].openField < 0) {
        SetError(eInvalidFieldOperation, "no field is open");
        return nullptr;
    }
    return &mLevels[mDepth].cursor;
}

bool KFbx::NextValue(FieldValue& value) {
    FieldValueCursor* cursor = OpenCursor();
    if (cursor == nullptr) return false;
    if (cursor->Next(value)) return true;
    SetError(eFileCorrupted, "field " + OpenFieldName() + " has no more values");
    return false;
}

void KFbx::ValueNotConverted(const char* kind) {
    SetError(eFileCorrupted, "a value of field " + OpenFieldName() + " is not " + kind);
}

template <typename Value, typename Convert>
Value KFbx::ReadValue(Convert convert, const char* kind) {
    FieldValue value;
    Value result{};
    if (NextValue(value) && !convert(value, result)) {
        ValueNotConverted(kind);
        result = Value();
    }
    return result;
}

char KFbx::FieldReadC() { return ReadValue<char>(FieldValueToChar, "a character"); }

int KFbx::FieldReadI() {
    const std::int64_t value = FieldReadL();
    return value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : static_cast<int>(value));
}

std::int64_t KFbx::FieldReadL() { return ReadValue<std::int64_t>(FieldValueToInteger, "a number"); }

float KFbx::FieldReadF() { return ReadValue<float>(FieldValueToFloat, "a number"); }

double KFbx::FieldReadD() { return ReadValue<double>(FieldValueToDouble, "a number"); }

KString KFbx::FieldReadS() {
    FieldValue value;
    if (!NextValue(value)) return KString("");
    FieldValueToText(value, mScratch);
    return KString(mScratch.data(), static_cast<int>(mScratch.size()));
}

void KFbx::FieldReadS(std::string& out) {
    FieldValue value;
    if (!NextValue(value)) {
        out.clear();
        return;
    }
    FieldValueToText(value, out);
}

KTime KFbx::FieldReadT() {
    KTime time;
    if (GetSectionVersion() < kFirstTickTimeVersion) {
        time.SetSecondDouble(FieldReadD());
    } else {
        time.Set(FieldReadL());
    }
    return time;
}

const void* KFbx::FieldReadR(int* size) {
    FieldValue value;
    const char* bytes = nullptr;
    std::size_t length = 0;
    // A size the int cannot tell is refused rather than cut.
    if (NextValue(value) && (!FieldValueToBytes(value, mScratch, bytes, length) || length > static_cast<std::size_t>(INT_MAX))) {
        ValueNotConverted("raw bytes");
        bytes = nullptr;
        length = 0;
    }
    if (size != nullptr) *size = static_cast<int>(length);
    return bytes;
}

bool KFbx::FieldSkipValue() {
    FieldValue value;
    return NextValue(value);
}

template <typename Element, typename Convert>
int KFbx::ReadArray(char arrayType, Element* out, int count, Convert convert, const char* kind) {
    FieldValueCursor* cursor = OpenCursor();
    if (cursor == nullptr || out == nullptr || count <= 0) return 0;
    std::size_t done = 0;
    const std::size_t wanted = static_cast<std::size_t>(count);
    while (done < wanted && cursor->Remaining() > 0) {
        const std::size_t run = cursor->ReadRun(arrayType, out + done, wanted - done);
        if (run > 0) {
            done += run;
            continue;
        }
        FieldValue value;
        cursor->Next(value);
        if (!convert(value, out[done])) {
            ValueNotConverted(kind);
            out[done] = Element();
        }
        ++done;
    }
    return static_cast<int>(done);
}

int KFbx::FieldReadArrayI(int* out, int count) {
    return ReadArray(FieldType::kIntArray, out, count,
                     [](const FieldValue& value, int& element) {
                         std::int64_t integer = 0;
                         const bool converted = FieldValueToInteger(value, integer);
                         element = integer < INT_MIN ? INT_MIN : (integer > INT_MAX ? INT_MAX : int(integer));
                         return converted;
                     },
                     "a number");
}

int KFbx::FieldReadArrayL(std::int64_t* out, int count) {
    return ReadArray(FieldType::kLongArray, out, count, FieldValueToInteger, "a number");
}

int KFbx::FieldReadArrayF(float* out, int count) {
    return ReadArray(FieldType::kFloatArray, out, count, FieldValueToFloat, "a number");
}

int KFbx::FieldReadArrayD(double* out, int count) {
    return ReadArray(FieldType::kDoubleArray, out, count, FieldValueToDouble, "a number");
}

char KFbx::FieldReadCDefault(const char* name, char defaultValue) {
    if (!FieldReadBegin(name)) return defaultValue;
    const char value = FieldGetRemainingValueCount() > 0 ? FieldReadC() : defaultValue;
    FieldReadEnd();
    return value;
}

int KFbx::FieldReadIDefault(const char* name, int defaultValue) {
    if (!FieldReadBegin(name)) return defaultValue;
    const int value = FieldGetRemainingValueCount() > 0 ? FieldReadI() : defaultValue;
    FieldReadEnd();
    return value;
}

KString KFbx::FieldReadSDefault(const char* name, const char* defaultValue) {
    if (!FieldReadBegin(name)) return KString(defaultValue != nullptr ? defaultValue : "");
    KString value = FieldGetRemainingValueCount() > 0 ? FieldReadS() : KString(defaultValue != nullptr ? defaultValue : "");
    FieldReadEnd();
    return value;
}

}  // namespace fbxsdk_2006_11_1
