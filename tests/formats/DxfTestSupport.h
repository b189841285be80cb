// Drawings written pair by pair, and the DXF reader's fixture: a scene, a
// scratch folder, and an import through the importer with reader options.
#ifndef TESTS_FORMATS_DXFTESTSUPPORT_H
#define TESTS_FORMATS_DXFTESTSUPPORT_H

#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxFormatsDxf.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>

#include "fbx/FbxWriterTestSupport.h"
#include "formats/FormatsTestSupport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::dxftest {

// Group codes and values, one line each.
class Drawing {
public:
    Drawing& Add(int code, const std::string& value) {
        mText += std::to_string(code) + "\n" + value + "\n";
        return *this;
    }
    Drawing& Add(std::initializer_list<std::pair<int, std::string>> pairs) {
        for (const auto& [code, value] : pairs) {
            Add(code, value);
        }
        return *this;
    }
    Drawing& Raw(const std::string& text) {
        mText += text;
        return *this;
    }
    Drawing& Section(const char* name) { return Add({{0, "SECTION"}, {2, name}}); }
    Drawing& EndSection() { return Add(0, "ENDSEC"); }
    Drawing& End() { return Add(0, "EOF"); }
    // A 3DFACE with corners given in drawing axes; the fourth repeats the
    // third for a triangle.
    Drawing& Face(const std::string& layer, std::vector<std::vector<double>> corners, int color = -1) {
        Add({{0, "3DFACE"}, {8, layer}});
        if (color >= 0) {
            Add(62, std::to_string(color));
        }
        if (corners.size() == 3) {
            corners.push_back(corners[2]);
        }
        for (int k = 0; k < 4; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                Add(10 + k + axis * 10, Number(corners[static_cast<std::size_t>(k)][static_cast<std::size_t>(axis)]));
            }
        }
        return *this;
    }
    // A polyface polyline: its points, then faces of 1-based vertex numbers
    // with their colours (none for a negative one).
    Drawing& Polyface(const std::string& layer, const std::vector<std::vector<double>>& points,
                      const std::vector<std::vector<int>>& faces, const std::vector<int>& faceColors = {}) {
        Add({{0, "POLYLINE"},
             {8, layer},
             {66, "1"},
             {70, "64"},
             {71, std::to_string(points.size())},
             {72, std::to_string(faces.size())}});
        for (const auto& point : points) {
            Add({{0, "VERTEX"},
                 {8, layer},
                 {10, Number(point[0])},
                 {20, Number(point[1])},
                 {30, Number(point[2])},
                 {70, "192"}});
        }
        for (std::size_t f = 0; f < faces.size(); ++f) {
            Add({{0, "VERTEX"}, {8, layer}});
            if (f < faceColors.size() && faceColors[f] >= 0) {
                Add(62, std::to_string(faceColors[f]));
            }
            Add({{10, "0"}, {20, "0"}, {30, "0"}, {70, "128"}});
            for (std::size_t k = 0; k < faces[f].size(); ++k) {
                Add(71 + static_cast<int>(k), std::to_string(faces[f][k]));
            }
        }
        return Add({{0, "SEQEND"}, {8, layer}});
    }
    Drawing& Insert(const std::string& block, double x, double y, double z,
                    std::initializer_list<std::pair<int, std::string>> more = {}) {
        Add({{0, "INSERT"}, {8, "0"}, {2, block}, {10, Number(x)}, {20, Number(y)}, {30, Number(z)}});
        return Add(more);
    }
    Drawing& Block(const std::string& name) {
        return Add({{0, "BLOCK"}, {8, "0"}, {2, name}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}});
    }
    Drawing& EndBlock() { return Add(0, "ENDBLK"); }

    const std::string& Text() const { return mText; }
    bool Save(const std::string& path) const {
        std::ofstream out(path, std::ios::binary);
        out << mText;
        return static_cast<bool>(out);
    }

private:
    static std::string Number(double value) {
        std::string text = std::to_string(value);
        return text;
    }
    std::string mText;
};

// A face as its distinct corners.
using Corners = std::vector<std::array<double, 3>>;

inline bool Near(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::fabs(a[0] - b[0]) < 1e-4 && std::fabs(a[1] - b[1]) < 1e-4 && std::fabs(a[2] - b[2]) < 1e-4;
}

inline void AddCorner(Corners& face, const std::array<double, 3>& corner) {
    if (std::none_of(face.begin(), face.end(), [&](const auto& kept) { return Near(kept, corner); })) {
        face.push_back(corner);
    }
}

// The faces of an OBJ file of "v" and "f" statements.
inline std::vector<Corners> ObjFaces(const std::string& path) {
    std::ifstream in(path);
    Corners points;
    std::vector<Corners> faces;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") {
            std::array<double, 3> point{};
            words >> point[0] >> point[1] >> point[2];
            points.push_back(point);
        } else if (kind == "f") {
            Corners face;
            for (std::string word; words >> word;) {
                const std::size_t index = std::stoul(word.substr(0, word.find('/')));
                if (index >= 1 && index <= points.size()) {
                    AddCorner(face, points[index - 1]);
                }
            }
            faces.push_back(face);
        }
    }
    return faces;
}

// The volume the faces enclose, signed by the order of their corners:
// positive where they turn outwards.
inline double SignedVolume(const std::vector<Corners>& faces) {
    double volume = 0.0;
    for (const Corners& face : faces) {
        for (std::size_t k = 1; k + 1 < face.size(); ++k) {
            const auto& a = face[0];
            const auto& b = face[k];
            const auto& c = face[k + 1];
            volume += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                      a[2] * (b[0] * c[1] - b[1] * c[0]);
        }
    }
    return volume / 6.0;
}

using formatstest::MeshOf;

class DxfTest : public writertest::WriterTest {
protected:
    void SetUp() override {
        KFbxRegisterDxfFormats();
        WriterTest::SetUp();
    }

    KFbxStreamOptionsDxfReader* ReadOptions(int derivation, bool weld = true, bool reference = false) {
        KFbxStreamOptionsDxfReader* options = KFbxStreamOptionsDxfReader::Create(mManager, "");
        options->SetOption("OBJECT DERIVATION", derivation);
        options->SetOption("WELD VERTICES", weld);
        options->SetOption("REFERENCENODE", reference);
        return options;
    }

    // Imports the file into a fresh scene.
    bool Import(const std::string& path, KFbxStreamOptions* options) {
        mScene->Destroy();
        mScene = KFbxScene::Create(mManager, "");
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(mScene, options);
        mLastErrorId = importer->GetLastErrorID();
        mLastError = importer->GetLastErrorString();
        KString message;
        importer->GetMessageText(message);
        mMessage = message.Buffer();
        importer->Destroy();
        return imported;
    }

    bool ImportDrawing(const Drawing& drawing, int derivation, bool weld = true) {
        const std::string path = mFolder / "in.dxf";
        EXPECT_TRUE(drawing.Save(path));
        return Import(path, ReadOptions(derivation, weld));
    }

    std::vector<std::string> ChildNames(const KFbxNode* node = nullptr) const {
        return formatstest::ChildNames(node != nullptr ? node : mScene->GetRootNode());
    }

    KFbxNode* Child(const char* name) const { return mScene->GetRootNode()->FindChild(name, true); }

    std::string mMessage;
};

}  // namespace fbxsdk_2006_11_1::dxftest

#endif
