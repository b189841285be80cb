// Encodes records as ascii field text: one record a line, indented by block
// depth, long value lists wrapped after a comma.
#ifndef FBXFILESDK_FBX_FIELDASCIIENCODER_H
#define FBXFILESDK_FBX_FIELDASCIIENCODER_H

#include <fbxfilesdk/fbx/FieldEncoder.h>
#include <fbxfilesdk/fbx/FieldOutput.h>

namespace fbxsdk_2006_11_1 {

class FieldAsciiEncoder : public FieldEncoder {
public:
    explicit FieldAsciiEncoder(FieldOutput& output) : mOutput(output) {}

    void BeginField(const char* name, std::size_t length) override;
    bool EndField() override;
    bool BeginBlock() override;
    void EndBlock() override;

    void WriteChar(char value) override;
    void WriteInt(std::int32_t value) override;
    void WriteLong(std::int64_t value) override;
    void WriteFloat(float value) override;
    void WriteDouble(double value) override;
    void WriteString(const char* text, std::size_t length) override;
    void WriteRaw(const unsigned char* bytes, std::size_t length) override;
    void WriteInts(const std::int32_t* values, std::size_t count) override;
    void WriteLongs(const std::int64_t* values, std::size_t count) override;
    void WriteFloats(const float* values, std::size_t count) override;
    void WriteDoubles(const double* values, std::size_t count) override;

    void WriteComment(const char* text) override;
    void Finish() override;

private:
    void NewLine(int depth);
    // The separator before a value, and a line break when the line is long.
    void BeginValue();
    template <typename Format, typename Number>
    void AppendNumber(Format format, Number value);

    FieldOutput& mOutput;
    int mDepth = 0;
    std::uint64_t mValues = 0;
    std::uint64_t mLineStart = 0;
    bool mStarted = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
