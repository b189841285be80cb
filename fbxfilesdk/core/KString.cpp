#include <fbxfilesdk/core/KString.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

namespace fbxsdk_2006_11_1 {

namespace {

// Plain zero-initialised arrays: they are ready before any dynamic initialiser
// runs, so strings built during static initialisation of other files can use them.
char gEmptyText[1];
char gInvalidText[1];
char gOutOfRangeByte[1];

// Large enough for "%d" of every int.
constexpr int kIntTextSize = 16;
// "%f" of -DBL_MAX is 309 digits, a sign, a point and six decimals.
constexpr int kDoubleTextSize = 352;

int PrintInt(int value, char* out) {
    return static_cast<int>(std::to_chars(out, out + kIntTextSize, value).ptr - out);
}

// Same text as printf "%f", but always with a '.' whatever the locale.
int PrintDouble(double value, char* out) {
    const std::to_chars_result result =
        std::to_chars(out, out + kDoubleTextSize, value, std::chars_format::fixed, 6);
    return result.ec == std::errc() ? static_cast<int>(result.ptr - out) : 0;
}

// -1 for a null text or one too long for an int length.
int TextLength(const char* text) {
    if (text == nullptr) {
        return -1;
    }
    const std::size_t n = std::strlen(text);
    return n > static_cast<std::size_t>(INT_MAX - 1) ? -1 : static_cast<int>(n);
}

bool IsTrimSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char FoldLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char FoldUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDelimiter(char c, const char* delimiters) {
    return delimiters != nullptr && KStringCharIsIn(c, delimiters);
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and state

KString::KString() {
    Init();
}

KString::KString(const char* text) { InitCopy(TextLength(text), text); }

KString::KString(const char* bytes, int n) {
    Init();
    if (bytes == nullptr) {
        Invalidate();
    } else {
        AssignCopy(n, bytes);
    }
}

KString::KString(const KString& other) {
    if (other.IsOK()) {
        InitCopy(other.mLength, other.mText);
    } else {
        Init();
        Invalidate();
    }
}

KString::KString(int value) {
    Init();
    *this = value;
}

KString::KString(double value) {
    Init();
    *this = value;
}

KString::KString(char c, int n) {
    Init();
    if (n >= 1 && SetLength(n)) {
        std::memset(mText, c, static_cast<std::size_t>(n));
    }
}

KString::~KString() {
    FreeHeap();
    Init();
}

void KString::InitCopy(int n, const char* bytes) {
    // Most texts are short: they go inside at once, as AllocBuffer would put them.
    if (n >= 0 && n + 1 < kInlineSize && (n == 0 || bytes != nullptr)) {
        if (n > 0) {
            std::memcpy(mInline, bytes, static_cast<std::size_t>(n));
        }
        mInline[n] = 0;
        mText = mInline;
        mLength = n;
        mCapacity = n;
        return;
    }
    Init();
    AssignCopy(n, bytes);
}

void KString::Init() {
    mText = gEmptyText;
    mLength = 0;
    mCapacity = 0;
    mInline[0] = 0;
}

KString& KString::Clear() {
    FreeHeap();
    Init();
    return *this;
}

void KString::Invalidate() {
    FreeHeap();
    mText = gInvalidText;
    mLength = 0;
    mCapacity = 0;
}

bool KString::IsOK() const {
    return mText != gInvalidText;
}

bool KString::IsEmpty() const {
    return mLength == 0;
}

char* KString::DetachBuffer() {
    char* block = IsHeap() ? mText : nullptr;
    Init();
    return block;
}

char* KString::Buffer() {
    return mText;
}

const char* KString::Buffer() const {
    return mText;
}

int KString::GetLen() const {
    return mLength;
}

bool KString::SetLength(int n) {
    char* oldBlock = nullptr;
    const bool ok = AllocBuffer(n, oldBlock);
    SdkFree(oldBlock);
    if (ok) {
        // Undefined by contract, but never uninitialised memory.
        std::memset(mText, 0, static_cast<std::size_t>(n));
    }
    return ok;
}

bool KString::IsHeap() const {
    return mText != gEmptyText && mText != gInvalidText && mText != mInline;
}

void KString::FreeHeap() {
    if (IsHeap()) {
        SdkFree(mText);
    }
}

// ---------------------------------------------------------------------------
// Low-level builders

bool KString::AllocBuffer(int n, char*& oldBlock) {
    oldBlock = IsHeap() ? mText : nullptr;
    if (n < 0 || n == INT_MAX) {
        mText = gInvalidText;
        mLength = 0;
        mCapacity = 0;
        return false;
    }
    if (n + 1 < kInlineSize) {
        mText = mInline;
    } else {
        char* block = static_cast<char*>(SdkMalloc(static_cast<std::size_t>(n) + 1));
        if (block == nullptr) {
            mText = gInvalidText;
            mLength = 0;
            mCapacity = 0;
            return false;
        }
        mText = block;
    }
    mLength = n;
    mCapacity = n;
    mText[n] = 0;
    return true;
}

bool KString::AssignCopy(int n, const char* bytes) {
    return ConcatCopy(n, bytes, 0, nullptr);
}

bool KString::ConcatCopy(int n1, const char* bytes1, int n2, const char* bytes2) {
    if (n1 < 0 || n2 < 0 || (n1 > 0 && bytes1 == nullptr) || (n2 > 0 && bytes2 == nullptr) ||
        n1 > INT_MAX - 1 - n2) {
        Invalidate();
        return false;
    }
    // A source may lie in the inline buffer, which the new text may reuse and
    // whose terminator is written before copying: work from a snapshot of it.
    char snapshot[kInlineSize];
    const auto inInline = [this](const char* p) {
        const auto address = reinterpret_cast<std::uintptr_t>(p);
        const auto first = reinterpret_cast<std::uintptr_t>(mInline);
        return address >= first && address < first + kInlineSize;
    };
    if ((n1 > 0 && inInline(bytes1)) || (n2 > 0 && inInline(bytes2))) {
        std::memcpy(snapshot, mInline, kInlineSize);
        if (n1 > 0 && inInline(bytes1)) {
            bytes1 = snapshot + (bytes1 - mInline);
        }
        if (n2 > 0 && inInline(bytes2)) {
            bytes2 = snapshot + (bytes2 - mInline);
        }
    }
    // A source in the old heap block stays readable until it is freed below.
    char* oldBlock = nullptr;
    const bool ok = AllocBuffer(n1 + n2, oldBlock);
    if (ok) {
        if (n1 > 0) {
            std::memcpy(mText, bytes1, static_cast<std::size_t>(n1));
        }
        if (n2 > 0) {
            std::memcpy(mText + n1, bytes2, static_cast<std::size_t>(n2));
        }
    }
    SdkFree(oldBlock);
    return ok;
}

bool KString::AppendCopy(int n, const char* bytes) {
    if (!IsOK()) {
        return false;
    }
    if (n < 0 || (n > 0 && bytes == nullptr)) {
        Invalidate();
        return false;
    }
    if (n == 0) {
        return true;
    }
    if (n <= mCapacity - mLength) {
        std::memmove(mText + mLength, bytes, static_cast<std::size_t>(n));
        mLength += n;
        mText[mLength] = 0;
        return true;
    }
    if (n > INT_MAX - 1 - mLength) {
        Invalidate();
        return false;
    }
    const int needed = mLength + n;
    if (needed + 1 < kInlineSize) {
        return ConcatCopy(mLength, mText, n, bytes);
    }
    // A text built by appending (a reader's messages, a path put together
    // piece by piece) grows by half again each time, so that n appends cost
    // linear time, not quadratic.
    const int headroom = mCapacity / 2;
    const int capacity = mCapacity > INT_MAX - 1 - headroom ? INT_MAX - 1 : std::max(needed, mCapacity + headroom);
    char* block = static_cast<char*>(SdkMalloc(static_cast<std::size_t>(capacity) + 1));
    if (block == nullptr) {
        Invalidate();
        return false;
    }
    // The source may lie in this string's own buffer: both copies are made
    // before it is freed.
    std::memcpy(block, mText, static_cast<std::size_t>(mLength));
    std::memcpy(block + mLength, bytes, static_cast<std::size_t>(n));
    block[needed] = 0;
    FreeHeap();
    mText = block;
    mLength = needed;
    mCapacity = capacity;
    return true;
}

bool KString::AllocCopy(KString& dest, int count, int start) const {
    if (!IsOK() || start < 0 || start > mLength || count < 0) {
        dest.Invalidate();
        return false;
    }
    if (count > mLength - start) {
        count = mLength - start;
    }
    return dest.AssignCopy(count, mText + start);
}

// ---------------------------------------------------------------------------
// Assignment and appending

KString& KString::operator=(const KString& other) {
    if (!other.IsOK()) {
        Invalidate();
    } else {
        AssignCopy(other.mLength, other.mText);
    }
    return *this;
}

KString& KString::operator=(const char* text) {
    // A negative count makes the string invalid.
    AssignCopy(TextLength(text), text);
    return *this;
}

KString& KString::operator=(char c) {
    AssignCopy(1, &c);
    return *this;
}

KString& KString::operator=(int value) {
    char text[kIntTextSize];
    AssignCopy(PrintInt(value, text), text);
    return *this;
}

KString& KString::operator=(double value) {
    char text[kDoubleTextSize];
    AssignCopy(PrintDouble(value, text), text);
    return *this;
}

KString& KString::operator+=(const KString& other) {
    if (!other.IsOK()) {
        Invalidate();
    } else {
        AppendCopy(other.mLength, other.mText);
    }
    return *this;
}

KString& KString::operator+=(const char* text) {
    // A negative count makes the string invalid.
    AppendCopy(TextLength(text), text);
    return *this;
}

KString& KString::operator+=(char c) {
    AppendCopy(1, &c);
    return *this;
}

KString& KString::operator+=(int value) {
    char text[kIntTextSize];
    AppendCopy(PrintInt(value, text), text);
    return *this;
}

KString operator+(const KString& left, const KString& right) {
    KString result;
    if (!left.IsOK() || !right.IsOK()) {
        result.Invalidate();
    } else {
        result.ConcatCopy(left.mLength, left.mText, right.mLength, right.mText);
    }
    return result;
}

KString operator+(const KString& left, char right) {
    return left + KString(&right, 1);
}

KString operator+(const KString& left, const char* right) {
    return left + KString(right);
}

KString operator+(const KString& left, int right) {
    return left + KString(right);
}

// ---------------------------------------------------------------------------
// Comparison

int KString::Compare(const char* text) const {
    const int result = std::strcmp(mText, text != nullptr ? text : "");
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int KString::CompareNoCase(const char* text) const {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(mText);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(text != nullptr ? text : "");
    for (;; ++a, ++b) {
        const int ca = static_cast<unsigned char>(FoldLower(static_cast<char>(*a)));
        const int cb = static_cast<unsigned char>(FoldLower(static_cast<char>(*b)));
        if (ca != cb || ca == 0) {
            return ca - cb;
        }
    }
}

bool KString::operator==(const KString& other) const {
    return Compare(other.mText) == 0;
}

bool KString::operator==(const char* text) const {
    return Compare(text) == 0;
}

bool KString::operator!=(const KString& other) const {
    return Compare(other.mText) != 0;
}

bool KString::operator!=(const char* text) const {
    return Compare(text) != 0;
}

// ---------------------------------------------------------------------------
// Search

char& KString::operator[](int index) {
    if (index < 0 || index >= mLength) {
        gOutOfRangeByte[0] = 0;
        return gOutOfRangeByte[0];
    }
    return mText[index];
}

const char& KString::operator[](int index) const {
    if (index < 0 || index >= mLength) {
        gOutOfRangeByte[0] = 0;
        return gOutOfRangeByte[0];
    }
    return mText[index];
}

int KString::Find(char c, int start) const {
    if (start < 0) {
        start = 0;
    }
    if (start > mLength) {
        start = mLength;
    }
    // The terminator is searched too, as a zero-terminated search would.
    const void* found = std::memchr(mText + start, c, static_cast<std::size_t>(mLength - start) + 1);
    return found != nullptr ? static_cast<int>(static_cast<const char*>(found) - mText) : -1;
}

int KString::ReverseFind(char c) const {
    for (int i = mLength; i >= 0; --i) {
        if (mText[i] == c) {
            return i;
        }
    }
    return -1;
}

int KString::FindOneOf(const char* set, int start) const {
    if (set == nullptr) {
        return -1;
    }
    if (start < 0) {
        start = 0;
    }
    for (int i = start; i < mLength; ++i) {
        if (KStringCharIsIn(mText[i], set)) {
            return i;
        }
    }
    return -1;
}

int KString::Find(const char* pattern, int start) const {
    if (pattern == nullptr) {
        return 0;
    }
    if (start < 0) {
        start = 0;
    }
    if (start > mLength) {
        start = mLength;
    }
    const std::string_view text(mText, static_cast<std::size_t>(mLength));
    const std::size_t found = text.find(pattern, static_cast<std::size_t>(start));
    return found == std::string_view::npos ? -1 : static_cast<int>(found);
}

bool KStringCharIsIn(char c, const char* text) {
    if (text == nullptr || c == 0) {
        return false;
    }
    return std::strchr(text, c) != nullptr;
}

// ---------------------------------------------------------------------------
// Tokens

int KString::GetTokenCount(const char* delimiters) const {
    if (!IsOK()) {
        return 0;
    }
    int count = 0;
    int i = 0;
    while (i < mLength) {
        if (IsDelimiter(mText[i], delimiters)) {
            ++i;
            continue;
        }
        ++count;
        while (i < mLength && !IsDelimiter(mText[i], delimiters)) {
            ++i;
        }
    }
    return count;
}

KString KString::GetToken(int index, const char* delimiters) const {
    KString token;
    if (index < 0 || !IsOK()) {
        return token;
    }
    int i = 0;
    while (i < mLength) {
        if (IsDelimiter(mText[i], delimiters)) {
            ++i;
            continue;
        }
        const int first = i;
        while (i < mLength && !IsDelimiter(mText[i], delimiters)) {
            ++i;
        }
        if (index-- == 0) {
            token.AssignCopy(i - first, mText + first);
            break;
        }
    }
    return token;
}

// ---------------------------------------------------------------------------
// Sub-strings and transformations

KString KString::Mid(int start, int count) const {
    KString result;
    AllocCopy(result, count, start);
    return result;
}

KString KString::Mid(int start) const {
    // A start past the length gives a negative count, and so an invalid result.
    return Mid(start, mLength - start);
}

KString KString::Left(int n) const {
    return Mid(0, n);
}

KString KString::Right(int n) const {
    if (n > mLength) {
        n = mLength;
    }
    return Mid(mLength - n, n);
}

KString KString::Upper() const {
    KString result(*this);
    for (int i = 0; i < result.mLength; ++i) {
        result.mText[i] = FoldUpper(result.mText[i]);
    }
    return result;
}

KString KString::Lower() const {
    KString result(*this);
    for (int i = 0; i < result.mLength; ++i) {
        result.mText[i] = FoldLower(result.mText[i]);
    }
    return result;
}

KString KString::Trim(int mode) const {
    if (!IsOK()) {
        return *this;
    }
    int first = 0;
    int end = mLength;
    if (mode != 0) {
        while (first < end && IsTrimSpace(mText[first])) {
            ++first;
        }
    }
    if (mode != 1) {
        while (end > first && IsTrimSpace(mText[end - 1])) {
            --end;
        }
    }
    return Mid(first, end - first);
}

bool KString::FindAndReplace(const char* find, const char* replaceBy, int start) {
    if (find == nullptr || replaceBy == nullptr || !IsOK()) {
        return false;
    }
    const int index = Find(find, start);
    if (index < 0) {
        return false;
    }
    // The result is sized from the parts, so any length that fits an int works.
    const std::size_t findLength = std::strlen(find);
    const std::size_t replaceLength = std::strlen(replaceBy);
    const std::size_t tailLength = static_cast<std::size_t>(mLength - index) - findLength;
    const std::size_t total = static_cast<std::size_t>(index) + replaceLength + tailLength;
    if (total > static_cast<std::size_t>(INT_MAX - 1)) {
        return false;
    }
    KString result;
    if (!result.SetLength(static_cast<int>(total))) {
        return false;
    }
    std::memcpy(result.mText, mText, static_cast<std::size_t>(index));
    std::memcpy(result.mText + index, replaceBy, replaceLength);
    std::memcpy(result.mText + index + replaceLength, mText + index + findLength, tailLength);
    *this = result;
    return IsOK();
}

// ---------------------------------------------------------------------------
// Heap strings

KString* KString::Create() {
    void* block = SdkMalloc(sizeof(KString));
    return block != nullptr ? new (block) KString() : nullptr;
}

void KString::Delete(KString* string) {
    if (string != nullptr) {
        string->~KString();
        SdkFree(string);
    }
}

KString* KStringOrNew(KString* string) {
    return string != nullptr ? string : KString::Create();
}

const KString* KStringOrEmpty(const KString* string) {
    static const KString empty;
    return string != nullptr ? string : &empty;
}

KString* KStringDeleteIfEmpty(KString* string) {
    if (string != nullptr && string->IsEmpty()) {
        KString::Delete(string);
        return nullptr;
    }
    return string;
}

}  // namespace fbxsdk_2006_11_1
