// Reading a COLLADA document holding a mesh of a million triangles with
// positions, normals and one UV set, each through its own index, as
// exporters write them. Three figures split the read: libxml2's parse of
// the text alone, the number parsing of the arrays alone, and the whole read
// into a scene; each reports the document's bytes per second. Then the reads
// of 50 objects of 10 000 triangles (compact, and as another exporter writes
// them: a corner of its own for every triangle, nine-digit floats), of a flat
// scenes of 1 024 and 8 192 nodes, of any document named by
// QALIMOR_COLLADA_FILE, and the imports of two small documents, by this
// reader and by the assimp command on the same files; last, 100 000 imports
// of a small model in a row with one manager, first against last.
// The reads of files report "peak_over_file", the most memory a read held
// (the scene it leaves included) over the file's size. With
// QALIMOR_COLLADA_KEEP_DIR the documents are written there and kept, so that
// other readers can be timed on them (scripts/collada-vs-assimp.sh).
#include "BenchFiles.h"
#include "ColladaSmallDocuments.h"
#include "SmallFileImport.h"

#include <fbxfilesdk/collada/ColladaDocument.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/KFbxColladaFormats.h>
#include <fbxfilesdk/collada/KFbxReaderCollada.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

using namespace fbxsdk_2006_11_1;

// 500 x 1000 quads, two triangles each.
constexpr int kColumns = 1000;
constexpr int kRows = 500;

void AppendNumber(std::string& text, double value) {
    char buffer[32];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 6);
    text.append(buffer, result.ptr);
    text += ' ';
}

std::string Source(const std::string& id, const std::string& values, int count, const char* const* params,
                   int stride) {
    std::string text = "<source id=\"" + id + "\"><float_array id=\"" + id + "-a\" count=\"" +
                       std::to_string(count * stride) + "\">" + values +
                       "</float_array><technique_common><accessor source=\"#" + id + "-a\" count=\"" +
                       std::to_string(count) + "\" stride=\"" + std::to_string(stride) + "\">";
    for (int param = 0; param < stride; ++param) {
        text += std::string("<param name=\"") + params[param] + "\" type=\"float\"/>";
    }
    return text + "</accessor></technique_common></source>\n";
}

// The arrays of the document: a gently curved sheet.
struct MeshText {
    std::string mPositions;
    std::string mNormals;
    std::string mUVs;
    std::string mIndices;
};

MeshText MakeMeshText(int rows = kRows, int columns = kColumns) {
    const int pointsPerRow = columns + 1;
    MeshText mesh;
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            const double x = column * 0.01;
            const double y = row * 0.01;
            AppendNumber(mesh.mPositions, x);
            AppendNumber(mesh.mPositions, y);
            AppendNumber(mesh.mPositions, 0.05 * x * y);
            AppendNumber(mesh.mNormals, -0.05 * y);
            AppendNumber(mesh.mNormals, -0.05 * x);
            AppendNumber(mesh.mNormals, 1.0);
            AppendNumber(mesh.mUVs, static_cast<double>(column) / columns);
            AppendNumber(mesh.mUVs, static_cast<double>(row) / rows);
        }
    }
    const auto corner = [&](int point) {
        const std::string index = std::to_string(point) + " ";
        mesh.mIndices += index;
        mesh.mIndices += index;
        mesh.mIndices += index;
    };
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int a = row * pointsPerRow + column;
            const int b = a + 1;
            const int c = a + pointsPerRow + 1;
            const int d = a + pointsPerRow;
            for (const int point : {a, b, c, a, c, d}) {
                corner(point);
            }
        }
    }
    return mesh;
}

const MeshText& Mesh() {
    static const MeshText mesh = MakeMeshText();
    return mesh;
}

// A geometry element of the sheet's arrays, made of rows x columns quads.
std::string GeometryText(const std::string& id, const MeshText& mesh, int rows, int columns) {
    static const char* const kXYZ[] = {"X", "Y", "Z"};
    static const char* const kST[] = {"S", "T"};
    const int points = (columns + 1) * (rows + 1);
    return "<geometry id=\"" + id + "\"><mesh>\n" + Source(id + "-p", mesh.mPositions, points, kXYZ, 3) +
           Source(id + "-n", mesh.mNormals, points, kXYZ, 3) + Source(id + "-uv", mesh.mUVs, points, kST, 2) +
           "<vertices id=\"" + id + "-v\"><input semantic=\"POSITION\" source=\"#" + id +
           "-p\"/></vertices>\n<triangles count=\"" + std::to_string(2 * rows * columns) +
           "\"><input semantic=\"VERTEX\" source=\"#" + id + "-v\" offset=\"0\"/><input semantic=\"NORMAL\" source=\"#" +
           id + "-n\" offset=\"1\"/><input semantic=\"TEXCOORD\" source=\"#" + id +
           "-uv\" offset=\"2\" set=\"0\"/><p>" + mesh.mIndices + "</p></triangles>\n</mesh></geometry>\n";
}

const char* const kDocumentStart =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
    "<asset><created>2024-05-01T10:00:00Z</created><modified>2024-05-01T10:00:00Z</modified></asset>\n";

const std::string& DocumentText() {
    static const std::string text = std::string(kDocumentStart) + "<library_geometries>" +
                                    GeometryText("sheet", Mesh(), kRows, kColumns) +
                                    "</library_geometries>\n</COLLADA>\n";
    return text;
}

// The folder named by QALIMOR_COLLADA_KEEP_DIR, where the documents are
// written and kept for other readers to time; null without it.
const char* KeepFolder() {
    const char* folder = std::getenv("QALIMOR_COLLADA_KEEP_DIR");
    return folder != nullptr && folder[0] != '\0' ? folder : nullptr;
}

// Removes the benchmark's file when the process ends, unless it is kept.
struct RemoveAtExit {
    std::string mPath;
    ~RemoveAtExit() {
        std::error_code error;
        if (KeepFolder() == nullptr) {
            std::filesystem::remove(mPath, error);
        }
    }
};

// The text in a temporary file named after the tag, or in the keep folder.
std::string WriteDocument(const std::string& tag, const std::string& text) {
    const char* keep = KeepFolder();
    const std::string file =
        keep != nullptr ? (std::filesystem::path(keep) / ("qalimor-collada-bench-" + tag + ".dae")).string()
                        : (std::filesystem::temp_directory_path() /
                           ("qalimor-collada-bench-" + tag + "-" + std::to_string(getpid()) + ".dae"))
                              .string();
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

const std::string& DocumentFile() {
    static const std::string path = WriteDocument("million", DocumentText());
    static const RemoveAtExit removal{path};
    return path;
}

// 50 objects of 10 000 triangles each, one node each.
const std::string& FiftyObjectsFile() {
    static const std::string path = [] {
        constexpr int kObjects = 50;
        constexpr int kObjectRows = 5;
        const MeshText mesh = MakeMeshText(kObjectRows, kColumns);
        std::string text = std::string(kDocumentStart) + "<library_geometries>";
        std::string nodes;
        for (int object = 0; object < kObjects; ++object) {
            const std::string id = "sheet" + std::to_string(object);
            text += GeometryText(id, mesh, kObjectRows, kColumns);
            nodes += "<node id=\"node" + std::to_string(object) + "\"><instance_geometry url=\"#" + id +
                     "\"/></node>\n";
        }
        text += "</library_geometries>\n<library_visual_scenes><visual_scene id=\"scene\">\n" + nodes +
                "</visual_scene></library_visual_scenes>\n<scene><instance_visual_scene url=\"#scene\"/></scene>\n"
                "</COLLADA>\n";
        return WriteDocument("fifty", text);
    }();
    static const RemoveAtExit removal{path};
    return path;
}

// The same 50 objects as another exporter writes them: every triangle with
// three corners of its own (positions, normals and texture coordinates one
// per corner, all through the one index of each corner), each single
// precision value printed with nine significant digits.
const std::string& FiftyObjectsExporterStyleFile() {
    static const std::string path = [] {
        constexpr int kObjects = 50;
        constexpr int kObjectRows = 5;
        constexpr int kCorners = 6 * kObjectRows * kColumns;
        std::string positions;
        std::string normals;
        std::string uvs;
        std::string indices;
        const auto append = [](std::string& text, float value) {
            char buffer[32];
            const std::to_chars_result result =
                std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 9);
            text.append(buffer, result.ptr);
            text += ' ';
        };
        int corner = 0;
        for (int row = 0; row < kObjectRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const int corners[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
                for (const auto& [dx, dy] : corners) {
                    const float x = static_cast<float>(column + dx) * 0.01f;
                    const float y = static_cast<float>(row + dy) * 0.01f;
                    append(positions, x);
                    append(positions, y);
                    append(positions, 0.05f * x * y);
                    append(normals, -0.05f * y);
                    append(normals, -0.05f * x);
                    append(normals, 1.0f);
                    append(uvs, static_cast<float>(column + dx) / kColumns);
                    append(uvs, static_cast<float>(row + dy) / kObjectRows);
                    indices += std::to_string(corner++);
                    indices += ' ';
                }
            }
        }
        static const char* const kXYZ[] = {"X", "Y", "Z"};
        static const char* const kST[] = {"S", "T"};
        std::string text = std::string(kDocumentStart) + "<library_geometries>";
        std::string nodes;
        for (int object = 0; object < kObjects; ++object) {
            const std::string id = "sheet" + std::to_string(object);
            text += "<geometry id=\"" + id + "\"><mesh>\n" + Source(id + "-p", positions, kCorners, kXYZ, 3) +
                    Source(id + "-n", normals, kCorners, kXYZ, 3) + Source(id + "-uv", uvs, kCorners, kST, 2) +
                    "<vertices id=\"" + id + "-v\"><input semantic=\"POSITION\" source=\"#" + id +
                    "-p\"/></vertices>\n<triangles count=\"" + std::to_string(kCorners / 3) +
                    "\"><input offset=\"0\" semantic=\"VERTEX\" source=\"#" + id +
                    "-v\"/><input offset=\"0\" semantic=\"NORMAL\" source=\"#" + id +
                    "-n\"/><input offset=\"0\" semantic=\"TEXCOORD\" source=\"#" + id +
                    "-uv\" set=\"0\"/><p>" + indices + "</p></triangles>\n</mesh></geometry>\n";
            nodes += "<node id=\"node" + std::to_string(object) + "\"><instance_geometry url=\"#" + id +
                     "\"/></node>\n";
        }
        text += "</library_geometries>\n<library_visual_scenes><visual_scene id=\"scene\">\n" + nodes +
                "</visual_scene></library_visual_scenes>\n<scene><instance_visual_scene url=\"#scene\"/></scene>\n"
                "</COLLADA>\n";
        return WriteDocument("fifty-exporter", text);
    }();
    static const RemoveAtExit removal{path};
    return path;
}

// A flat scene of nodes, each with its own translation.
std::string FlatNodesText(int count) {
    std::string text = std::string(kDocumentStart) + "<library_visual_scenes><visual_scene id=\"scene\">\n";
    for (int node = 0; node < count; ++node) {
        const std::string id = std::to_string(node);
        text += "<node id=\"n" + id + "\"><translate sid=\"t\">" + id + " 0 0</translate></node>\n";
    }
    return text + "</visual_scene></library_visual_scenes>\n<scene><instance_visual_scene url=\"#scene\"/></scene>\n"
                  "</COLLADA>\n";
}

// One file per count, made on first use; the map's entries stay where they
// are made, so each removes its file once, at exit.
const std::string& FlatNodesFile(int count) {
    static std::map<int, RemoveAtExit> files;
    RemoveAtExit& file = files[count];
    if (file.mPath.empty()) {
        file.mPath = WriteDocument("flat" + std::to_string(count), FlatNodesText(count));
    }
    return file.mPath;
}

// Opens, reads and closes the file with the reader's own options.
bool ReadInto(KFbxReaderCollada& reader, const char* path, KFbxScene& scene) {
    if (!reader.FileOpen(path)) {
        return false;
    }
    KFbxStreamOptions* options = reader.GetReadOptions();
    const bool read = reader.Read(&scene, options);
    options->Destroy();
    reader.FileClose();
    return read;
}

// Reads the file into a new scene each iteration, the opening of the file
// included, the making and freeing of the manager not; reports its bytes.
// The peak memory of each read, over the file's size, is reported as
// "peak_over_file": the high-water mark of the resident set during the read,
// the scene it leaves included, less what was resident before it.
void ReadFileRepeatedly(benchmark::State& state, const char* path) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    double peakOverFile = 0.0;
    long peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
        KFbxScene* scene = KFbxScene::Create(manager.get(), "");
        KFbxReaderCollada reader(*manager);
        // Memory freed by the read before stays resident unless handed back.
        malloc_trim(0);
        const long before = benchfiles::StatusBytes("VmRSS:");
        benchfiles::ResetPeak();
        state.ResumeTiming();
        if (!ReadInto(reader, path, *scene)) {
            state.SkipWithError("the document did not read");
        }
        state.PauseTiming();
        const long added = benchfiles::StatusBytes("VmHWM:") - before;
        peakOverFile = std::max(peakOverFile, error || bytes == 0 ? 0.0 : static_cast<double>(added) / bytes);
        peak = std::max(peak, added);
        manager.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(error ? 0 : bytes));
    state.counters["file_bytes"] = static_cast<double>(error ? 0 : bytes);
    state.counters["peak_over_file"] = peakOverFile;
    state.counters["peak_mb"] = static_cast<double>(peak) / (1024.0 * 1024.0);
}

void ReportBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(DocumentText().size()));
}

// libxml2 alone: the text into a tree.
void BM_ColladaMillionTrianglesXmlParse(benchmark::State& state) {
    const std::string& text = DocumentText();
    for (auto _ : state) {
        KString error;
        ColladaDocument document = ColladaDocument::ParseMemory(text.data(), text.size(), error);
        benchmark::DoNotOptimize(document.GetRoot());
    }
    ReportBytes(state);
}
BENCHMARK(BM_ColladaMillionTrianglesXmlParse)->Unit(benchmark::kMillisecond)->Iterations(3);

// libxml2 with the arrays parsed as their text arrives, as the reader
// reads: the tree without the arrays' text, and their numbers.
void BM_ColladaMillionTrianglesXmlParseWithArrays(benchmark::State& state) {
    const std::string& text = DocumentText();
    for (auto _ : state) {
        KString error;
        ColladaDocument document =
            ColladaDocument::ParseMemory(text.data(), text.size(), error, ColladaArrayText::kParse);
        benchmark::DoNotOptimize(document.GetRoot());
    }
    ReportBytes(state);
}
BENCHMARK(BM_ColladaMillionTrianglesXmlParseWithArrays)->Unit(benchmark::kMillisecond)->Iterations(3);

// The numbers of the arrays alone.
void BM_ColladaMillionTrianglesNumbers(benchmark::State& state) {
    const MeshText& mesh = Mesh();
    std::vector<double> values;
    std::vector<int> indices;
    for (auto _ : state) {
        values.clear();
        indices.clear();
        ColladaXml::ParseDoubleArray(mesh.mPositions.c_str(), values);
        ColladaXml::ParseDoubleArray(mesh.mNormals.c_str(), values);
        ColladaXml::ParseDoubleArray(mesh.mUVs.c_str(), values);
        ColladaXml::ParseIntArray(mesh.mIndices.c_str(), indices);
        benchmark::DoNotOptimize(indices.data());
    }
    ReportBytes(state);
}
BENCHMARK(BM_ColladaMillionTrianglesNumbers)->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole read, from the file into a scene.
void BM_ColladaMillionTrianglesRead(benchmark::State& state) {
    ReadFileRepeatedly(state, DocumentFile().c_str());
}
BENCHMARK(BM_ColladaMillionTrianglesRead)->Unit(benchmark::kMillisecond)->Iterations(3);

// The read of the document that QALIMOR_COLLADA_FILE names, so that other
// readers can be timed on the same file; skipped without it.
void BM_ColladaFileRead(benchmark::State& state) {
    const char* path = std::getenv("QALIMOR_COLLADA_FILE");
    if (path == nullptr || path[0] == '\0') {
        state.SkipWithError("QALIMOR_COLLADA_FILE names no document");
        return;
    }
    ReadFileRepeatedly(state, path);
}
BENCHMARK(BM_ColladaFileRead)->Unit(benchmark::kMillisecond);

void BM_ColladaFiftyObjectsRead(benchmark::State& state) { ReadFileRepeatedly(state, FiftyObjectsFile().c_str()); }
BENCHMARK(BM_ColladaFiftyObjectsRead)->Unit(benchmark::kMillisecond);

void BM_ColladaFiftyObjectsExporterStyleRead(benchmark::State& state) {
    ReadFileRepeatedly(state, FiftyObjectsExporterStyleFile().c_str());
}
BENCHMARK(BM_ColladaFiftyObjectsExporterStyleRead)->Unit(benchmark::kMillisecond);

void BM_ColladaFlatNodesRead(benchmark::State& state) {
    ReadFileRepeatedly(state, FlatNodesFile(static_cast<int>(state.range(0))).c_str());
}
BENCHMARK(BM_ColladaFlatNodesRead)->ArgName("nodes")->Arg(1024)->Arg(8192)->Unit(benchmark::kMillisecond);

// ---- small documents -------------------------------------------------------

// The small documents by benchmark argument: 0 the textured model, 1 the
// mixed scene.
const std::string& SmallDocumentFile(int which) {
    static const std::string model = WriteDocument("model", colladasmall::TexturedModelDocument());
    static const RemoveAtExit modelRemoval{model};
    static const std::string mixed = WriteDocument("mixed", colladasmall::MixedSceneDocument());
    static const RemoveAtExit mixedRemoval{mixed};
    return which == 0 ? model : mixed;
}

void NameSmallDocument(benchmark::State& state) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(SmallDocumentFile(static_cast<int>(state.range(0))), error);
    state.counters["file_kb"] = error ? 0.0 : static_cast<double>(bytes) / 1024.0;
}

// A small document as a program imports one: a new scene, a reader, the
// read, all timed (the manager, made once per program, not).
void BM_ColladaSmallFileImport(benchmark::State& state) {
    const std::string& path = SmallDocumentFile(static_cast<int>(state.range(0)));
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    for (auto _ : state) {
        KFbxScene* scene = KFbxScene::Create(manager.get(), "");
        KFbxReaderCollada reader(*manager);
        if (!ReadInto(reader, path.c_str(), *scene)) {
            state.SkipWithError("the document did not read");
        }
        state.PauseTiming();
        scene->Destroy(true);
        state.ResumeTiming();
    }
    NameSmallDocument(state);
}
BENCHMARK(BM_ColladaSmallFileImport)->ArgName("document")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The empty scene such an import starts from, alone.
void BM_ColladaEmptySceneCreate(benchmark::State& state) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    for (auto _ : state) {
        KFbxScene* scene = KFbxScene::Create(manager.get(), "");
        state.PauseTiming();
        scene->Destroy(true);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ColladaEmptySceneCreate)->Unit(benchmark::kMillisecond);

// The same documents imported by the assimp command, where it is
// installed: the import time that it reports itself, raw (no
// post-processing), so that its start-up and printing are left out.
void BM_AssimpSmallFileImport(benchmark::State& state) {
    const std::string command = "assimp info \"" + SmallDocumentFile(static_cast<int>(state.range(0))) +
                                "\" -r -s 2>/dev/null";
    for (auto _ : state) {
        std::FILE* output = popen(command.c_str(), "r");
        double seconds = -1.0;
        char line[256];
        while (output != nullptr && std::fgets(line, sizeof(line), output) != nullptr) {
            constexpr const char* kTook = "import took approx. ";
            if (const char* took = std::strstr(line, kTook)) {
                const char* begin = took + std::strlen(kTook);
                std::from_chars(begin, begin + std::strlen(begin), seconds);
            }
        }
        if (output == nullptr || pclose(output) != 0 || seconds < 0.0) {
            state.SkipWithError("assimp did not import the document");
            break;
        }
        state.SetIterationTime(seconds);
    }
    NameSmallDocument(state);
}
BENCHMARK(BM_AssimpSmallFileImport)
    ->ArgName("document")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);

// ---- the distribution's small test models -----------------------------------

const char* const kSmallModels[] = {"/usr/share/assimp/models/Collada/cube_triangulate.dae",
                                    "/usr/share/assimp/models/Collada/box_nested_animation.dae",
                                    "/usr/share/assimp/models/Collada/regr01.dae"};

void BM_ColladaSmallModelImport(benchmark::State& state) {
    KFbxRegisterColladaFormats();
    qalimor::bench::ImportSmallFile(state, kSmallModels[state.range(0)]);
}
BENCHMARK(BM_ColladaSmallModelImport)->ArgName("model")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// A converter that imports for days: one manager, 100 000 imports of the
// distribution's cube in a row, each as ImportSmallFile makes it. The
// figures are the microseconds an import took over the first 2 000 and over
// the last 2 000; a program that runs long must not slow down.
void BM_ColladaImportsInARow(benchmark::State& state) {
    constexpr int kImports = 100000;
    constexpr int kMeasured = 2000;
    const char* path = kSmallModels[0];
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the file is not installed");
        return;
    }
    KFbxRegisterColladaFormats();
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    for (auto _ : state) {
        std::chrono::steady_clock::duration first{};
        std::chrono::steady_clock::duration last{};
        for (int import = 0; import < kImports; ++import) {
            const auto start = std::chrono::steady_clock::now();
            KFbxScene* scene = KFbxScene::Create(manager.get(), "");
            KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
            const bool imported = importer->Initialize(path) && importer->Import(scene);
            importer->Destroy();
            scene->Destroy(true);
            const auto took = std::chrono::steady_clock::now() - start;
            if (!imported) {
                state.SkipWithError("the file did not import");
                return;
            }
            if (import < kMeasured) {
                first += took;
            } else if (import >= kImports - kMeasured) {
                last += took;
            }
        }
        const auto perImport = [](std::chrono::steady_clock::duration total) {
            return std::chrono::duration<double, std::micro>(total).count() / kMeasured;
        };
        state.counters["first_2000_us"] = perImport(first);
        state.counters["last_2000_us"] = perImport(last);
        state.counters["layer_elements_held"] = static_cast<double>(manager->GetLayerElementCount());
    }
}
BENCHMARK(BM_ColladaImportsInARow)->Iterations(1)->Unit(benchmark::kSecond);

void BM_AssimpSmallModelImport(benchmark::State& state) {
    qalimor::bench::PeerImportSmallFile(state, kSmallModels[state.range(0)]);
}
BENCHMARK(BM_AssimpSmallModelImport)->ArgName("model")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
