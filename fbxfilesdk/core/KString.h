// The SDK's one string class: 8-bit text (bytes, no encoding), short texts kept
// inside the object, and an explicit invalid state in place of exceptions. A null
// source or a failed allocation leaves the string invalid; IsOK() tells, and an
// invalid string reads as "" wherever its characters are used.
#ifndef FBXFILESDK_CORE_KSTRING_H
#define FBXFILESDK_CORE_KSTRING_H

namespace fbxsdk_2006_11_1 {

class KString {
public:
    KString();
    // A null pointer gives the invalid state.
    KString(const char* text);
    // The first n bytes, zero bytes included; null or negative n gives the invalid state.
    KString(const char* bytes, int n);
    KString(const KString& other);
    // Printed as "%d".
    explicit KString(int value);
    // Printed as "%f" (six decimals, '.' whatever the locale).
    explicit KString(double value);
    // n copies of c; n below 1 gives the empty string.
    KString(char c, int n);
    ~KString();

    // Sets the empty state without freeing anything.
    void Init();
    // Frees, then empty.
    KString& Clear();
    // Frees, then invalid.
    void Invalidate();
    bool IsOK() const;
    bool IsEmpty() const;

    // Hands the heap block (free it with SdkFree) to the caller and leaves the
    // string empty; null when the text is not in a heap block.
    char* DetachBuffer();

    char* Buffer();
    const char* Buffer() const;
    int GetLen() const;

    // Discards the content and makes room for n characters (content undefined,
    // terminator at n); false, leaving the string invalid, on failure.
    bool SetLength(int n);

    KString& operator=(const KString& other);
    KString& operator=(const char* text);
    KString& operator=(char c);
    KString& operator=(int value);
    KString& operator=(double value);

    KString& operator+=(const KString& other);
    KString& operator+=(const char* text);
    KString& operator+=(char c);
    KString& operator+=(int value);

    // Invalid when either side is invalid (a null text gives an invalid right side).
    friend KString operator+(const KString& left, const KString& right);
    friend KString operator+(const KString& left, char right);
    friend KString operator+(const KString& left, const char* right);
    friend KString operator+(const KString& left, int right);

    // Byte-wise as unsigned characters: -1, 0 or 1. Null compares as "".
    int Compare(const char* text) const;
    // ASCII letters folded to lower case: negative, zero or positive. Null compares as "".
    int CompareNoCase(const char* text) const;
    bool operator==(const KString& other) const;
    bool operator==(const char* text) const;
    bool operator!=(const KString& other) const;
    bool operator!=(const char* text) const;

    // An index at or past the length gives a process-wide zero byte, reset to 0 on each such call.
    char& operator[](int index);
    const char& operator[](int index) const;

    // Positions are character indexes; -1 means not found. A start past the
    // length is clamped to the length.
    int Find(char c, int start = 0) const;
    int ReverseFind(char c) const;
    // A null set gives -1.
    int FindOneOf(const char* set, int start = 0) const;
    // A null pattern gives 0.
    int Find(const char* pattern, int start = 0) const;

    // Tokens are maximal runs of characters not in delimiters.
    int GetTokenCount(const char* delimiters) const;
    // An index outside [0, token count) gives the empty string.
    KString GetToken(int index, const char* delimiters) const;

    KString Mid(int start, int count) const;
    KString Mid(int start) const;
    KString Left(int n) const;
    KString Right(int n) const;
    KString Upper() const;
    KString Lower() const;
    // Mode 0: end only; 1: start only; anything else: both ends.
    KString Trim(int mode) const;

    // Replaces the first occurrence of find at or after start, in place; false
    // (string unchanged) when there is none.
    bool FindAndReplace(const char* find, const char* replaceBy, int start = 0);

    // Heap strings for owners that keep a pointer: null when memory runs out.
    static KString* Create();
    // Null allowed.
    static void Delete(KString* string);

    // The content becomes n bytes from bytes.
    bool AssignCopy(int n, const char* bytes);
    // The content becomes the two byte runs joined.
    bool ConcatCopy(int n1, const char* bytes1, int n2, const char* bytes2);
    // Appends n bytes; does nothing and returns false on an invalid string.
    bool AppendCopy(int n, const char* bytes);
    // Copies count characters from start into dest (count clipped to the
    // length); a start past the length, a negative count or an invalid source
    // makes dest invalid and returns false.
    bool AllocCopy(KString& dest, int count, int start) const;

private:
    // Texts of at most kInlineSize - 2 characters live inside the object.
    static constexpr int kInlineSize = 64;

    // Makes room for n characters; the previous heap block (or null) is handed
    // back in oldBlock for the caller to free after copying from it.
    bool AllocBuffer(int n, char*& oldBlock);
    // A new string's first text, which cannot lie in the string itself.
    void InitCopy(int n, const char* bytes);
    bool IsHeap() const;
    void FreeHeap();

    char* mText;
    int mLength;
    int mCapacity;
    char mInline[kInlineSize];
};

// True when c occurs in text; false for null.
bool KStringCharIsIn(char c, const char* text);

// string, or a new empty heap string when null.
KString* KStringOrNew(KString* string);
// string, or one process-wide empty string when null.
const KString* KStringOrEmpty(const KString* string);
// Deletes a heap string whose text is empty and returns null; otherwise returns it.
KString* KStringDeleteIfEmpty(KString* string);

}  // namespace fbxsdk_2006_11_1

#endif
