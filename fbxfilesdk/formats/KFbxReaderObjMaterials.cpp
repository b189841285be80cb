// The material libraries of the OBJ reader: "mtllib" opens them, the first
// "usemtl" of a name turns its "newmtl" block into a Lambert or Phong
// material with its diffuse texture.
#include <fbxfilesdk/formats/KFbxReaderObj.h>

#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/formats/ObjFilePaths.h>
#include <fbxfilesdk/formats/ObjNumbers.h>
#include <fbxfilesdk/formats/ObjStatementReader.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <platform/os/File.h>

#include <cerrno>
#include <memory>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

// The values of one "newmtl" block; colours count only when a line gave all
// three of their numbers.
struct MaterialValues {
    double mAmbient[3] = {1.0, 1.0, 1.0};
    double mDiffuse[3] = {1.0, 1.0, 1.0};
    double mSpecular[3] = {1.0, 1.0, 1.0};
    bool mAmbientSet = false;
    bool mDiffuseSet = false;
    bool mSpecularSet = false;
    bool mShininessSet = false;
    bool mOpacitySet = false;
    bool mTransparencySet = false;
    int mIllumination = 2;
    double mShininess = 0.0;
    // "d" is the opacity, "Tr" the transparency; where a block holds both
    // (exporters write "d 1" and "Tr 0" alike for an opaque material), "d"
    // decides.
    double mOpacity = 1.0;
    double mTransparency = 0.0;
    std::string mDiffuseMap;
};

void ReadColor(std::string_view line, double (&color)[3], bool& set) {
    double values[3];
    bool notFinite = false;
    if (ObjReadDoubles(line, values, 3, notFinite) == 3 && !notFinite) {
        color[0] = values[0];
        color[1] = values[1];
        color[2] = values[2];
        set = true;
    }
}

void ReadNumber(std::string_view line, double& value, bool& set) {
    double read = 0.0;
    if (ObjReadDouble(line, read) == ObjNumber::eRead) {
        value = read;
        set = true;
    }
}

void ReadBlock(ObjStatementReader& statements, MaterialValues& values) {
    ObjStatement statement;
    while (statements.Next(statement)) {
        const std::string_view keyword = statement.mKeyword;
        if (keyword == "newmtl") return;
        if (keyword == "Ka") {
            ReadColor(statement.mRest, values.mAmbient, values.mAmbientSet);
        } else if (keyword == "Kd") {
            ReadColor(statement.mRest, values.mDiffuse, values.mDiffuseSet);
        } else if (keyword == "Ks") {
            ReadColor(statement.mRest, values.mSpecular, values.mSpecularSet);
        } else if (keyword == "illum") {
            ObjReadInt(statement.mRest, values.mIllumination);
        } else if (keyword == "Ns") {
            ReadNumber(statement.mRest, values.mShininess, values.mShininessSet);
        } else if (keyword == "d") {
            ReadNumber(statement.mRest, values.mOpacity, values.mOpacitySet);
        } else if (keyword == "Tr") {
            ReadNumber(statement.mRest, values.mTransparency, values.mTransparencySet);
        } else if (keyword == "map_Kd") {
            values.mDiffuseMap.assign(statement.mRest);
        }
    }
}

struct CloseStream {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, CloseStream>;

void SetColor(KFbxProperty property, const double (&color)[3]) {
    const fbxDouble3 value(color[0], color[1], color[2]);
    property.Set(&value, eFbxValueDouble3);
}

void SetNumber(KFbxProperty property, double number) { property.Set(&number, eFbxValueDouble); }

KFbxSurfaceMaterial* CreateMaterial(KFbxSdkManager& manager, const std::string& name, const MaterialValues& values) {
    KFbxSurfaceLambert* lambert = nullptr;
    KFbxSurfacePhong* phong = nullptr;
    if (values.mIllumination < 2) {
        lambert = KFbxSurfaceLambert::Create(&manager, name.c_str());
    } else {
        phong = KFbxSurfacePhong::Create(&manager, name.c_str());
        lambert = phong;
    }
    if (lambert == nullptr) return nullptr;
    if (values.mAmbientSet) {
        SetColor(lambert->GetAmbientColor(), values.mAmbient);
        SetNumber(lambert->GetAmbientFactor(), 1.0);
    }
    if (values.mDiffuseSet) {
        SetColor(lambert->GetDiffuseColor(), values.mDiffuse);
        SetNumber(lambert->GetDiffuseFactor(), 1.0);
    }
    if (phong != nullptr && values.mSpecularSet) {
        SetColor(phong->GetSpecularColor(), values.mSpecular);
        SetNumber(phong->GetSpecularFactor(), 1.0);
    }
    if (phong != nullptr && values.mShininessSet) SetNumber(phong->GetShininess(), values.mShininess);
    if (values.mOpacitySet || values.mTransparencySet) {
        const double white[3] = {1.0, 1.0, 1.0};
        SetColor(lambert->GetTransparentColor(), white);
        SetNumber(lambert->GetTransparencyFactor(),
                  values.mOpacitySet ? 1.0 - values.mOpacity : values.mTransparency);
    }
    return lambert;
}

// A map is looked for as a library is, from the working folder first and
// then beside its library, where a model's folder keeps it wherever it is
// moved. The texture names the file found from the root, for writers run
// from any working folder, and the name as written is its relative name.
// Where neither is there, it names the path beside the library, where the
// library says the map is; but an absolute name (a drive's of other systems
// too) stays as written.
void SetTextureFile(KFbxTexture& texture, const std::string& library, const std::string& map) {
    std::string paths[2];
    const int count = ObjSearchPaths(library, map, paths);
    int found = 0;
    while (found < count && !qalimor::os::CanReadRegularFile(paths[found].c_str())) ++found;
    const bool relative = KFbxIsRelativePath(KString(map.c_str()));
    if (found == count && !relative) {
        texture.SetFileName(map.c_str());
        return;
    }
    texture.SetFileName(ObjPathFromRoot(paths[found < count ? found : count - 1]).c_str());
    if (relative) texture.SetRelativeFileName(map.c_str());
}

}  // namespace

bool KFbxReaderObj::OpenMaterialLibraries(std::string_view line) {
    std::vector<std::string_view> names;
    ObjSplit(line, names);
    if (names.empty()) return false;
    bool all = true;
    for (const std::string_view name : names) {
        MaterialLibrary library;
        std::string paths[2];
        const int count = ObjSearchPaths(mFileName.Buffer(), name, paths);
        std::string reason;
        bool known = false;
        for (int path = 0; path < count && !known; ++path) {
            library.mPath = paths[path];
            known = mMaterialLibraryPaths.count(library.mPath) != 0;
            if (!known && IndexMaterialLibrary(library, reason)) {
                mMaterialLibraryPaths.insert(library.mPath);
                mMaterialLibraries.push_back(std::move(library));
                known = true;
            }
        }
        if (!known) {
            ReportMissingLibrary(name, reason);
            all = false;
        }
    }
    return all;
}

bool KFbxReaderObj::IndexMaterialLibrary(MaterialLibrary& library, std::string& reason) {
    const Stream stream(qalimor::os::OpenRegularFile(library.mPath.c_str()));
    if (stream == nullptr) {
        reason = qalimor::os::OpenFailureText(errno);
        return false;
    }
    // One pass finds every block, so that a file of many materials does not
    // search its libraries once per name.
    ObjStatementReader statements(stream.get(), false);
    ObjStatement statement;
    while (statements.Next(statement)) {
        if (statement.mKeyword == "newmtl") {
            library.mBlocks.emplace(ObjFirstWord(statement.mRest), statements.Offset());
        }
    }
    if (statements.TooLong()) {
        reason = "a line longer than 16 MB";
    } else if (statements.Failed()) {
        reason = "it could not be read to its end";
    }
    return !statements.TooLong() && !statements.Failed();
}

bool KFbxReaderObj::ReadMaterial(std::string_view name, KFbxSurfaceMaterial*& material, KFbxTexture*& texture) {
    material = nullptr;
    texture = nullptr;
    const std::string materialName(name);
    for (const MaterialLibrary& library : mMaterialLibraries) {
        const auto found = library.mBlocks.find(materialName);
        if (found == library.mBlocks.end()) continue;
        const Stream stream(qalimor::os::OpenRegularFile(library.mPath.c_str()));
        if (stream == nullptr) continue;
        MaterialValues values;
        if (std::fseek(stream.get(), found->second, SEEK_SET) == 0) {
            ObjStatementReader statements(stream.get(), false);
            ReadBlock(statements, values);
        }
        material = CreateMaterial(mManager, materialName, values);
        if (material == nullptr) return false;
        if (!values.mDiffuseMap.empty()) {
            texture = KFbxTexture::Create(&mManager, materialName.c_str());
            if (texture != nullptr) SetTextureFile(*texture, library.mPath, values.mDiffuseMap);
        }
        return true;
    }
    return false;
}

bool KFbxReaderObj::CloseMaterialLibraries() {
    mMaterialLibraries.clear();
    mMaterialLibraryPaths.clear();
    return true;
}

}  // namespace fbxsdk_2006_11_1
