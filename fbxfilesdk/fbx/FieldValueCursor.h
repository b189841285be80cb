// Hands out the values of one field in order, from binary data or ascii text,
// and converts a value to the kind a caller asks for. A binary array is
// handed out element by element, or copied in one go by ReadRun.
#ifndef FBXFILESDK_FBX_FIELDVALUECURSOR_H
#define FBXFILESDK_FBX_FIELDVALUECURSOR_H

#include <fbxfilesdk/fbx/FieldAsciiSyntax.h>
#include <fbxfilesdk/fbx/FieldTree.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fbxsdk_2006_11_1 {

struct FieldValue {
    // The binary type code; ascii gives kQuoted for a string, kWord for the rest.
    static constexpr char kQuoted = 'Q';
    static constexpr char kWord = 'W';
    char type = 0;
    // Strings and raw bytes, or the token of an ascii value (entities not yet decoded).
    const char* text = nullptr;
    std::size_t length = 0;
    std::int64_t integer = 0;  // C, I, L
    double real = 0;           // D
    float single = 0;          // F
};

class FieldValueCursor {
public:
    void Clear();
    void Open(const unsigned char* image, const FieldNode& node, bool binary);

    std::uint32_t Remaining() const { return mRemaining; }
    // 'C', 'I', 'L', 'F', 'D', 'S' or 'R'; in ascii text the kind the token
    // looks like. 'S' when no value is left.
    char PeekType() const;
    bool Next(FieldValue& value);
    // Copies up to count elements of a binary array of arrayType that starts or
    // continues at the cursor, or converts up to count plain ascii numbers of
    // that kind; stops (0 at first) at a value that needs more care.
    std::size_t ReadRun(char arrayType, void* out, std::size_t count);
    // Where the binary array of arrayType that starts at the cursor has its
    // elements in the image, and how many; false for anything else.
    bool PeekRun(char arrayType, std::uint64_t& offset, std::size_t& count) const;
    // Passes over that array, its elements read by other means.
    void SkipRun(std::size_t count);

private:
    template <typename Number>
    std::size_t ReadAsciiNumbers(Number* out, std::size_t count);

    const unsigned char* mImage = nullptr;
    std::uint64_t mPosition = 0;
    std::uint32_t mRemaining = 0;
    bool mBinary = true;
    char mRunType = 0;
    std::uint32_t mRunLeft = 0;
    AsciiScanner mScanner;
};

// Conversions between value kinds; false when the value has no such reading
// (text that is no number, raw bytes as a number).
bool FieldValueToDouble(const FieldValue& value, double& out);
bool FieldValueToFloat(const FieldValue& value, float& out);
// Out-of-range and fractional numbers are truncated and saturated.
bool FieldValueToInteger(const FieldValue& value, std::int64_t& out);
bool FieldValueToChar(const FieldValue& value, char& out);
void FieldValueToText(const FieldValue& value, std::string& out);
// Raw bytes: binary strings and raw values as they are, ascii strings as base64.
bool FieldValueToBytes(const FieldValue& value, std::string& scratch, const char*& bytes, std::size_t& length);

}  // namespace fbxsdk_2006_11_1

#endif
