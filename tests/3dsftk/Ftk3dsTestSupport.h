// Shared helpers of the toolkit's tests: little-endian file images built by
// hand, a scratch folder, and a fixture that leaves no file or error behind.
#ifndef TESTS_3DSFTK_FTK3DSTESTSUPPORT_H
#define TESTS_3DSFTK_FTK3DSTESTSUPPORT_H

#include <fbxfilesdk/3dsftk/Toolkit3ds.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::ftktest {

inline std::string Le16(std::uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}
inline std::string Le32(std::uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }
inline std::string LeFloat(float value) { return Le32(std::bit_cast<std::uint32_t>(value)); }
inline std::string Text(const std::string& text) { return text + std::string(1, '\0'); }

// A chunk image: header with the right length, then the body.
inline std::string Chunk(std::uint32_t tag, const std::string& body = {}) {
    return Le16(tag) + Le32(static_cast<std::uint32_t>(body.size() + 6)) + body;
}

// Records the largest block asked of the SDK heap (install it with
// SdkSetAllocators).
struct LargestBlock {
    static inline std::size_t largest = 0;
    static void* Malloc(std::size_t size) {
        largest = std::max(largest, size);
        return std::malloc(size);
    }
    static void* Calloc(std::size_t count, std::size_t size) {
        largest = std::max(largest, count * size);
        return std::calloc(count, size);
    }
    static void* Realloc(void* block, std::size_t size) {
        largest = std::max(largest, size);
        return std::realloc(block, size);
    }
};

// The error codes recorded so far, in order, the overflow entry last.
inline std::vector<int> RecordedErrors() {
    std::vector<int> codes;
    for (const ErrRec3ds& entry : ErrList3ds) {
        if (entry.errorid == NO_FTK_ERRORS) break;
        codes.push_back(entry.errorid);
    }
    if (ErrList3ds.Overflow().errorid != NO_FTK_ERRORS) codes.push_back(ErrList3ds.Overflow().errorid);
    return codes;
}

inline bool Recorded(int code) {
    for (int recorded : RecordedErrors()) {
        if (recorded == code) return true;
    }
    return false;
}

// Children of a chunk, in order.
inline std::vector<Chunk3ds*> Children(const Chunk3ds* parent) {
    std::vector<Chunk3ds*> children;
    for (Chunk3ds* child = parent != nullptr ? parent->children : nullptr; child != nullptr; child = child->sibling) {
        children.push_back(child);
    }
    return children;
}

inline std::vector<std::uint32_t> ChildTags(const Chunk3ds* parent) {
    std::vector<std::uint32_t> tags;
    for (const Chunk3ds* child : Children(parent)) tags.push_back(child->tag);
    return tags;
}

class Ftk3dsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CloseAllFiles3ds();
        ClearErrorList3ds();
        std::string pattern = (std::filesystem::temp_directory_path() / "ftk3dsXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        CloseAllFiles3ds();
        ClearErrorList3ds();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    static void WriteBytes(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Writes the image to a file, opens it and reads it into a new database.
    database3ds* ReadImage(const std::string& bytes, const std::string& name = "in.3ds") {
        WriteBytes(Path(name), bytes);
        file3ds* file = OpenFile3ds(Path(name).c_str(), "rb");
        EXPECT_NE(file, nullptr);
        database3ds* database = nullptr;
        InitDatabase3ds(&database);
        CreateDatabase3ds(file, database);
        return database;
    }

    // Writes the database to a new file and gives back its bytes.
    std::string WriteImage(database3ds* database, const std::string& name = "out.3ds") {
        file3ds* file = OpenFile3ds(Path(name).c_str(), "wb");
        EXPECT_NE(file, nullptr);
        WriteDatabase3ds(file, database);
        EXPECT_FALSE(FtkErrorPending) << RecordedErrors().size();
        CloseFile3ds(file);
        return ReadBytes(Path(name));
    }

    // A new mesh-file database, as a writer starts one.
    static database3ds* NewMeshDatabase(DatabaseType3ds kind = DatabaseMeshFile3ds) {
        database3ds* database = nullptr;
        InitDatabase3ds(&database);
        CreateNewDatabase3ds(database, kind);
        return database;
    }

    // Writes the database to a file and reads that file into a new database
    // (read_), releasing the written one.
    database3ds* WriteAndRead(database3ds*& written, const std::string& name = "trip.3ds") {
        const std::string bytes = WriteImage(written, name);
        ReleaseDatabase3ds(&written);
        return ReadImage(bytes, "re-" + name);
    }

    std::filesystem::path dir_;
};

template <class T>
::testing::AssertionResult SameArray(const T* a, const T* b, std::size_t count) {
    if (count == 0) return ::testing::AssertionSuccess();
    if (a == nullptr || b == nullptr) return ::testing::AssertionFailure() << "missing array";
    for (std::size_t i = 0; i < count; ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(T)) != 0) return ::testing::AssertionFailure() << "differs at " << i;
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult SameBits(float a, float b) {
    if (std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " != " << b;
}

inline ::testing::AssertionResult SamePoint(const point3ds& a, const point3ds& b) {
    if (SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << "," << a.y << "," << a.z << ") != (" << b.x << "," << b.y
                                         << "," << b.z << ")";
}

inline ::testing::AssertionResult SameColor(const color3ds& a, const color3ds& b) {
    return SamePoint({a.red, a.green, a.blue}, {b.red, b.green, b.blue});
}

}  // namespace fbxsdk_2006_11_1::ftktest

#endif
