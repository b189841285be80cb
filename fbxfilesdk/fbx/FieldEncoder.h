// Puts records into the syntax of a field file. The field file checks the
// order of the calls (a value only inside an open field, blocks balanced)
// before it makes them, so an encoder only encodes.
#ifndef FBXFILESDK_FBX_FIELDENCODER_H
#define FBXFILESDK_FBX_FIELDENCODER_H

#include <cstddef>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

class FieldEncoder {
public:
    virtual ~FieldEncoder() = default;

    virtual void BeginField(const char* name, std::size_t length) = 0;
    // False when a correction could not reach the stream.
    virtual bool EndField() = 0;
    virtual bool BeginBlock() = 0;
    virtual void EndBlock() = 0;

    virtual void WriteChar(char value) = 0;
    virtual void WriteInt(std::int32_t value) = 0;
    virtual void WriteLong(std::int64_t value) = 0;
    virtual void WriteFloat(float value) = 0;
    virtual void WriteDouble(double value) = 0;
    virtual void WriteString(const char* text, std::size_t length) = 0;
    virtual void WriteRaw(const unsigned char* bytes, std::size_t length) = 0;
    virtual void WriteInts(const std::int32_t* values, std::size_t count) = 0;
    virtual void WriteLongs(const std::int64_t* values, std::size_t count) = 0;
    virtual void WriteFloats(const float* values, std::size_t count) = 0;
    virtual void WriteDoubles(const double* values, std::size_t count) = 0;

    // A comment line; nothing where the syntax has no comments.
    virtual void WriteComment(const char* text) = 0;
    // Ends the syntax once the last record is closed.
    virtual void Finish() = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
