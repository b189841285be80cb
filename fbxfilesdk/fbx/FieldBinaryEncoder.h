// Encodes records in the binary field syntax (see FieldFormat.h). Successive
// numbers of one type in a field are folded into one array as they arrive,
// so a reader can take them in one copy.
#ifndef FBXFILESDK_FBX_FIELDBINARYENCODER_H
#define FBXFILESDK_FBX_FIELDBINARYENCODER_H

#include <fbxfilesdk/fbx/FieldEncoder.h>
#include <fbxfilesdk/fbx/FieldOutput.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class FieldBinaryEncoder : public FieldEncoder {
public:
    explicit FieldBinaryEncoder(FieldOutput& output) : mOutput(output) {}

    void BeginField(const char* name, std::size_t length) override;
    bool EndField() override;
    bool BeginBlock() override;
    void EndBlock() override {}

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

    void WriteComment(const char*) override {}
    void Finish() override {}

private:
    struct OpenRecord {
        std::uint64_t header = 0;
        std::uint64_t valuesBegin = 0;
        std::uint64_t valueCount = 0;
        bool valuesDone = false;
        // The last value item of the field, while it can still be extended.
        std::uint64_t lastItem = 0;
        bool hasLastItem = false;
    };

    // Writes the value count and size into the record header.
    bool FinishValues(OpenRecord& record);
    void AppendScalar(char type, std::uint64_t bits, int width);
    template <typename Element>
    void AppendArray(char arrayType, const Element* values, std::size_t count);
    void AppendBytes(char type, const void* bytes, std::size_t length);

    FieldOutput& mOutput;
    std::vector<OpenRecord> mOpen;
};

}  // namespace fbxsdk_2006_11_1

#endif
