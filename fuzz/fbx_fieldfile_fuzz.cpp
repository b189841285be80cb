// libFuzzer target for the field file reader. The first byte picks the input:
// a bare binary record list, a bare ascii record list, or a whole file (its
// trailer is fixed up half of the time, so that the header and sections are
// reached too). Every record found is walked and its values read. A bare
// ascii list is also cut at a few places: a beginning that refuses the text
// must refuse it as the whole text does.
#include <fbxfilesdk/fbx/FieldAsciiParser.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include <fbxfilesdk/core/KCrcFile.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

using fbxsdk_2006_11_1::KCrcFile;
using fbxsdk_2006_11_1::KFbx;

// Reads every value of the open field, as the kind the file says it is.
void ReadValues(KFbx& file) {
    while (file.FieldGetRemainingValueCount() > 0) {
        switch (file.FieldGetValueType()) {
            case 'C': file.FieldReadC(); break;
            case 'I': file.FieldReadI(); break;
            case 'L': file.FieldReadT(); break;
            case 'F': file.FieldReadF(); break;
            case 'D': {
                double values[4];
                file.FieldReadArrayD(values, 4);
                break;
            }
            case 'R': {
                int size = 0;
                file.FieldReadR(&size);
                break;
            }
            default: file.FieldReadS(); break;
        }
    }
}

// Visits the fields named like the ones writers use, at every depth.
void Walk(KFbx& file, int depth) {
    static const char* const kNames[] = {"a", "Item", "Model", "Channel", "Key", "Default", "Values", "FileId"};
    for (const char* name : kNames) {
        while (file.FieldReadBegin(name)) {
            ReadValues(file);
            if (depth < 300 && file.FieldReadBlockBegin()) {
                file.FieldReadIDefault("KeyVer", 0);
                file.FieldReadCDefault("Type", '0');
                Walk(file, depth + 1);
                file.FieldReadBlockEnd();
            }
            file.FieldReadEnd();
        }
    }
}

void WalkSections(KFbx& file) {
    for (int section = 0; file.SelectSection(section); ++section) Walk(file, 0);
}

// The refusals of beginnings of the text agree with the whole text's fate.
void CheckBeginnings(const char* text, std::size_t size) {
    fbxsdk_2006_11_1::FieldTree tree;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    std::string whole;
    const bool parsed = fbxsdk_2006_11_1::ParseAsciiRecords(text, size, tree, first, count, whole);
    for (const std::size_t cut : {size / 4, size / 2, size - size / 4, size - 1, size}) {
        std::string error;
        if (cut <= size && !fbxsdk_2006_11_1::AsciiRecordsMayFollow(text, cut, error) && (parsed || error != whole)) {
            std::abort();
        }
    }
}

std::string TemporaryPath() {
    return "/tmp/qalimor-fieldfile-fuzz-" + std::to_string(getpid()) + ".fbx";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const int mode = data[0] % 4;
    ++data;
    --size;
    KFbx file;
    if (mode < 2) {
        if (mode == 1) CheckBeginnings(reinterpret_cast<const char*>(data), size);
        if (file.FileOpen(data, static_cast<int>(size), mode == 0)) WalkSections(file);
        return 0;
    }
    const std::string path = TemporaryPath();
    {
        KCrcFile out;
        if (!out.OpenWithModeString(path.c_str(), "w+b")) return 0;
        out.Write(data, static_cast<int>(size));
        if (mode == 3) {
            out.Close();  // appends a trailer that matches
        } else {
            out.KChainedFile::Close();  // no trailer: the check must fail
        }
    }
    if (file.FileOpen(path.c_str(), "password")) WalkSections(file);
    std::remove(path.c_str());
    return 0;
}
