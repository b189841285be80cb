// Writing and reading the arrays of a mesh of a million vertices through the
// field file, in both syntaxes. Throughput counts the bytes of the file.
#include <fbxfilesdk/fbx/KFbx.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace {

using fbxsdk_2006_11_1::KFbx;

constexpr int kVertexCount = 1000000;

struct Mesh {
    std::vector<double> vertices;
    std::vector<double> normals;
    std::vector<double> uvs;
    std::vector<int> polygonVertexIndex;
};

// A grid of 1000 x 1000 vertices with its quads; the last index of each
// polygon is stored as -index-1, as mesh records have it.
const Mesh& TheMesh() {
    static const Mesh mesh = [] {
        Mesh m;
        constexpr int side = 1000;
        for (int i = 0; i < kVertexCount; ++i) {
            const double x = (i % side) * 0.01;
            const double z = (i / side) * 0.01;
            m.vertices.insert(m.vertices.end(), {x, std::sin(x) * std::cos(z), z});
            m.normals.insert(m.normals.end(), {0.0, 1.0, 0.0});
            m.uvs.insert(m.uvs.end(), {x / 10.0, z / 10.0});
        }
        for (int row = 0; row + 1 < side; ++row) {
            for (int col = 0; col + 1 < side; ++col) {
                const int a = row * side + col;
                m.polygonVertexIndex.insert(m.polygonVertexIndex.end(), {a, a + 1, a + side + 1, -(a + side) - 1});
            }
        }
        return m;
    }();
    return mesh;
}

std::string BenchPath(bool binary) {
    return (std::filesystem::temp_directory_path() /
            ("qalimor-fieldfile-bench-" + std::to_string(getpid()) + (binary ? ".fbx" : "-ascii.fbx")))
        .string();
}

void WriteMesh(const std::string& path, bool binary, bool valueByValue) {
    const Mesh& mesh = TheMesh();
    KFbx file;
    file.FileCreate(path.c_str(), binary, false, nullptr);
    file.FieldWriteBegin("Geometry");
    file.FieldWriteS("Geometry::Grid");
    file.FieldWriteBlockBegin();
    auto doubles = [&](const char* name, const std::vector<double>& values) {
        file.FieldWriteBegin(name);
        if (valueByValue) {
            for (double v : values) file.FieldWriteD(v);
        } else {
            file.FieldWriteArrayD(values.data(), static_cast<int>(values.size()));
        }
        file.FieldWriteEnd();
    };
    doubles("Vertices", mesh.vertices);
    doubles("Normals", mesh.normals);
    doubles("UV", mesh.uvs);
    file.FieldWriteBegin("PolygonVertexIndex");
    file.FieldWriteArrayI(mesh.polygonVertexIndex.data(), static_cast<int>(mesh.polygonVertexIndex.size()));
    file.FieldWriteEnd();
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
    if (!file.FileClose()) std::abort();
}

std::int64_t FileSize(const std::string& path) {
    std::error_code error;
    return static_cast<std::int64_t>(std::filesystem::file_size(path, error));
}

void BM_Write(benchmark::State& state, bool binary, bool valueByValue) {
    const std::string path = BenchPath(binary);
    TheMesh();
    for (auto _ : state) WriteMesh(path, binary, valueByValue);
    state.SetBytesProcessed(state.iterations() * FileSize(path));
    std::filesystem::remove(path);
}

void BM_Read(benchmark::State& state, bool binary) {
    const std::string path = BenchPath(binary);
    WriteMesh(path, binary, false);
    std::vector<double> doubles(3 * kVertexCount);
    std::vector<int> ints(TheMesh().polygonVertexIndex.size());
    for (auto _ : state) {
        KFbx file;
        if (!file.FileOpen(path.c_str()) || !file.FieldReadBegin("Geometry") || !file.FieldReadBlockBegin()) {
            std::abort();
        }
        for (const char* name : {"Vertices", "Normals", "UV"}) {
            file.FieldReadBegin(name);
            benchmark::DoNotOptimize(file.FieldReadArrayD(doubles.data(), file.FieldGetRemainingValueCount()));
            file.FieldReadEnd();
        }
        file.FieldReadBegin("PolygonVertexIndex");
        benchmark::DoNotOptimize(file.FieldReadArrayI(ints.data(), file.FieldGetRemainingValueCount()));
        if (file.GetLastErrorCode() >= 0) std::abort();
    }
    state.SetBytesProcessed(state.iterations() * FileSize(path));
    std::filesystem::remove(path);
}

BENCHMARK_CAPTURE(BM_Write, Binary, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Write, BinaryValueByValue, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, Binary, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Write, Ascii, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Read, Ascii, false)->Unit(benchmark::kMillisecond);

}  // namespace
