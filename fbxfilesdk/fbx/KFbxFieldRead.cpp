// The record-reading half of KFbx.
#include <fbxfilesdk/fbx/KFbx.h>

#include <fbxfilesdk/fbx/FieldBinaryParser.h>
#include <fbxfilesdk/fbx/FieldFormat.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// The first byte tells most names of the same length apart without a call.
bool HasName(const unsigned char* image, const FieldNode& node, const char* name, std::size_t length) {
    return node.nameLength == length && (length == 0 || image[node.nameBegin] == static_cast<unsigned char>(name[0])) &&
           std::memcmp(image + node.nameBegin, name, length) == 0;
}

}  // namespace

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
    level.valuesOut = false;
}

bool KFbx::FieldReadBegin(const char* name) {
    if (!RequireMode(eRead)) return false;
    if (name == nullptr) return false;
    ReadLevel& level = mLevels[mDepth];
    std::size_t resume = 0;
    const std::uint32_t i = FindNextField(name, resume);
    if (i >= level.childCount) return false;
    // A large binary array given back may be read from the file straight to
    // its reader where the file's byte order is the machine's; everything
    // else is fetched first.
    const FieldNode& node = mTree.nodes[level.childBegin + i];
    const bool valuesOut = mBinary && std::endian::native == std::endian::little && !mImage.Holds(node.valuesBegin);
    if (!valuesOut && !FetchValues(node)) return false;
    if (resume < level.nextByName.size()) {
        level.nextByName[resume] = i + 1;
    } else {
        level.nextByName.push_back(i + 1);
    }
    level.openField = level.childBegin + i;
    level.cursor.Open(mImage.Data(), node, mBinary);
    level.valuesOut = valuesOut;
    return true;
}

bool KFbx::FetchValues(const FieldNode& node) {
    const FieldFileImage::EFetch fetched = mImage.Fetch(node.valuesBegin);
    if (fetched == FieldFileImage::EFetch::eHeld) return true;
    // Bytes that match what was given back may still, by chance, lay out
    // other values than those the parse counted.
    std::uint64_t count = 0;
    if (fetched == FieldFileImage::EFetch::eReadAgain &&
        (!mBinary || (CountBinaryValues(mImage.Data() + node.valuesBegin, node.valuesEnd - node.valuesBegin, count) &&
                      count == node.valueCount))) {
        return true;
    }
    return RecordLoss(fetched);
}

bool KFbx::RecordLoss(FieldFileImage::EFetch fetched) {
    if (mContentLoss.empty()) {
        switch (fetched) {
            case FieldFileImage::EFetch::eCutShort: mContentLoss = "the file is cut short since it was opened"; break;
            case FieldFileImage::EFetch::eUnreadable:
                mContentLoss = std::string("the file cannot be read again: ") + std::strerror(errno);
                break;
            default: mContentLoss = "the file changed on disk since it was opened"; break;
        }
    }
    SetError(eFileCorrupted, mContentLoss);
    return false;
}

bool KFbx::FieldReadExists(const char* name) const {
    std::size_t resume = 0;
    return mMode == eRead && name != nullptr && FindNextField(name, resume) < mLevels[mDepth].childCount;
}

std::uint32_t KFbx::FieldReadCount(const char* name) const {
    if (mMode != eRead || name == nullptr) return 0;
    const ReadLevel& level = mLevels[mDepth];
    const std::size_t length = std::strlen(name);
    const FieldNode* children = mTree.nodes.data() + level.childBegin;
    return static_cast<std::uint32_t>(std::count_if(children, children + level.childCount, [&](const FieldNode& node) {
        return HasName(mImage.Data(), node, name, length);
    }));
}

std::uint32_t KFbx::FindNextField(const char* name, std::size_t& resume) const {
    const ReadLevel& level = mLevels[mDepth];
    const std::size_t length = std::strlen(name);
    // Each name resumes after the last field of that name already reached.
    const unsigned char* image = mImage.Data();
    const FieldNode* children = mTree.nodes.data() + level.childBegin;
    const auto named = [&](const FieldNode& node) { return HasName(image, node, name, length); };
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
    mLevels[mDepth].valuesOut = false;
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
    ReadLevel& level = mLevels[mDepth];
    if (level.openField < 0) {
        SetError(eInvalidFieldOperation, "no field is open");
        return nullptr;
    }
    if (level.valuesOut) {
        if (!FetchValues(mTree.nodes[static_cast<std::size_t>(level.openField)])) return nullptr;
        level.valuesOut = false;
    }
    return &level.cursor;
}

std::size_t KFbx::ReadRunFromFile(char arrayType, void* out, std::size_t count, std::size_t width) {
    ReadLevel& level = mLevels[mDepth];
    std::uint64_t offset = 0;
    std::size_t run = 0;
    if (mMode != eRead || level.openField < 0 || !level.valuesOut || !level.cursor.PeekRun(arrayType, offset, run) ||
        run > count) {
        return 0;
    }
    const FieldNode& node = mTree.nodes[static_cast<std::size_t>(level.openField)];
    const FieldFileImage::EFetch fetched =
        mImage.CopyOut(node.valuesBegin, offset, run * width, static_cast<unsigned char*>(out));
    if (fetched != FieldFileImage::EFetch::eHeld && fetched != FieldFileImage::EFetch::eReadAgain) {
        RecordLoss(fetched);
        return 0;
    }
    level.cursor.SkipRun(run);
    // Values after the array are read from the fetched range.
    if (level.cursor.Remaining() > 0) {
        if (!FetchValues(node)) return run;
        level.valuesOut = false;
    }
    return run;
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
    const std::size_t wanted = count > 0 && out != nullptr ? static_cast<std::size_t>(count) : 0;
    std::size_t done = wanted > 0 ? ReadRunFromFile(arrayType, out, wanted, sizeof(Element)) : 0;
    FieldValueCursor* cursor = done < wanted || wanted == 0 ? OpenCursor() : nullptr;
    if (cursor == nullptr) return static_cast<int>(done);
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
