// The 3DS writer's meshes and materials: a mesh object per mesh node with
// its triangles, smoothing groups and material groups, one material record
// per combination of material and textures the faces show, and the texture
// files copied beside the written file.
#include <fbxfilesdk/formats/KFbxWriter3DS.h>

#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/formats/KFbxWriter3DSFinite.h>
#include <fbxfilesdk/formats/KFbxWriter3DSMeshData.h>
#include <fbxfilesdk/formats/KFbxWriterMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <tuple>

namespace fbxsdk_2006_11_1 {

using writer3ds::MeshData;

namespace {

// Room in a texture map's name field.
constexpr std::size_t kMapNameLength = 12;
constexpr double kDefaultGrey = 0.588;
constexpr double kFullShininessStrength = 0.75;
constexpr std::uint16_t kAllEdgesVisible = 7;

template <std::size_t N>
void SetName(char (&field)[N], const std::string& name) {
    const std::size_t length = name.size() < N - 1 ? name.size() : N - 1;
    std::memcpy(field, name.data(), length);
    field[length] = '\0';
}

std::string Decimal(long long number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    return std::string(digits, end);
}

bool ReadNumber(const KFbxSurfaceMaterial& material, const char* name, double& value) {
    const KFbxProperty property = material.FindProperty(name);
    return property.IsValid() && property.Get(&value, eFbxValueDouble);
}

bool ReadColour(const KFbxSurfaceMaterial& material, const char* name, double (&value)[3]) {
    const KFbxProperty property = material.FindProperty(name);
    fbxDouble3 colour;
    if (!property.IsValid() || !property.Get(&colour, eFbxValueDouble3)) {
        return false;
    }
    for (int index = 0; index < 3; ++index) {
        value[index] = colour[index];
    }
    return true;
}

color3ds Colour(const double (&value)[3], double factor) {
    return {static_cast<float>(value[0] * factor), static_cast<float>(value[1] * factor),
            static_cast<float>(value[2] * factor)};
}

// A colour times its factor (1 when missing); false when the colour is missing.
bool FactoredColour(const KFbxSurfaceMaterial& material, const char* colourName, const char* factorName,
                    color3ds& out) {
    double colour[3];
    double factor = 1.0;
    if (!ReadColour(material, colourName, colour)) {
        return false;
    }
    ReadNumber(material, factorName, factor);
    out = Colour(colour, factor);
    return true;
}

// The mean of a colour times its factor, either alone when the other is missing.
bool MeanTimesFactor(const KFbxSurfaceMaterial& material, const char* colourName, const char* factorName,
                     float& out) {
    double colour[3];
    double factor = 1.0;
    const bool hasColour = ReadColour(material, colourName, colour);
    const bool hasFactor = ReadNumber(material, factorName, factor);
    if (!hasColour && !hasFactor) {
        return false;
    }
    const double mean = hasColour ? (colour[0] + colour[1] + colour[2]) / 3.0 : 1.0;
    out = static_cast<float>(mean * factor);
    return true;
}

// A texture a material record can show: UV mapped, standard use, a file.
bool Shows(const KFbxTexture* texture) {
    return texture != nullptr && texture->GetMappingType() == KFbxTexture::eUV &&
           texture->GetTextureUse() == KFbxTexture::eSTANDARD && texture->GetFileName()[0] != '\0';
}

}  // namespace

std::vector<std::array<int, 3>> KFbxWriter3DS::TriangulatePolygon(int size) {
    std::vector<std::array<int, 3>> triangles;
    if (size < 3) {
        return triangles;
    }
    const std::size_t count = static_cast<std::size_t>(size) - 2;
    triangles.reserve(count);
    triangles.push_back({0, 1, 2});
    // Strips back and forth across the polygon, so that long polygons keep
    // well-shaped triangles.
    int a = 2;
    int l = 3;
    int b = 0;
    int h = size - 1;
    while (triangles.size() < count) {
        triangles.push_back({a, l, b});
        if (triangles.size() < count) {
            triangles.push_back({b, l, h});
        }
        a = l;
        l = l + 1;
        b = h;
        h = h - 1;
    }
    return triangles;
}

std::string KFbxWriter3DS::MapFileName(const char* fileName) {
    const KString name = KFbxExtractFileName(KString(fileName != nullptr ? fileName : ""), true);
    return static_cast<std::size_t>(name.GetLen()) <= kMapNameLength ? std::string(name.Buffer()) : std::string();
}

bool KFbxWriter3DS::WriteMesh(KFbxNode* node, const KFbxMesh& mesh, const Frame& world, const Frame& matrix,
                              bool textures,
                              std::vector<std::string>& extraParts) {
    writer3ds::MeshOptions options;
    options.mTextures = textures;
    options.mMaterials = mFlags.mMaterial;
    options.mSpreadCornerUVs = mFlags.mTexUVByPoly;
    const MeshData data = writer3ds::ReadMeshData(mesh, options);
    // A polygon of fewer than three corners (or naming a missing point)
    // has no face the format can hold.
    const auto dropped = std::count_if(data.mPolygons.begin(), data.mPolygons.end(),
                                       [](const writer3ds::MeshPolygon& polygon) { return polygon.mSize < 3; });
    if (dropped > 0) {
        mMessage += "\"";
        mMessage += FileNameOf(node).c_str();
        mMessage += "\": ";
        mMessage += Decimal(dropped).c_str();
        mMessage += " polygons of fewer than 3 corners were left out.\n";
    }
    const std::vector<writer3ds::MeshPart> parts =
        writer3ds::SplitIntoParts(data, static_cast<std::size_t>(kMaxObjectItems));
    for (std::size_t part = 0; part < parts.size(); ++part) {
        // A mesh too large for one object goes on in objects of its own,
        // named after it.
        std::string name = FileNameOf(node);
        if (part > 0) {
            KString numbered(name.c_str());
            mRenaming.Rename(numbered, KRenamingStrategy3DS::kObjectNameLimit);
            name = numbered.Buffer();
            extraParts.push_back(name);
        }
        if (!WriteMeshPart(data, parts[part], world, matrix, name)) {
            return false;
        }
    }
    return true;
}

bool KFbxWriter3DS::WriteMeshPart(const MeshData& data, const writer3ds::MeshPart& part, const Frame& world,
                                  const Frame& matrix,
                                  const std::string& name) {
    ++mMeshCounter;
    MeshRecord record = MakeMeshObject(data, part, world, matrix, name);
    if (record == nullptr || ToolkitFailed()) {
        return false;
    }
    ReportNonFinite(writer3ds::ZeroNonFinite(*record), name);
    // One material group and one material record per combination the faces
    // show, in the order material, first texture, second texture.
    std::map<std::tuple<int, int, int>, std::vector<std::uint16_t>> groups;
    if (!data.mMaterials.empty()) {
        std::uint16_t face = 0;
        for (const writer3ds::PartTriangle& triangle : part.mTriangles) {
            const writer3ds::MeshPolygon& polygon = data.mPolygons[static_cast<std::size_t>(triangle.mPolygon)];
            groups[{polygon.mMaterial, polygon.mTexture, polygon.mSecondTexture}].push_back(face++);
        }
    }
    mesh3ds& target = *record;
    target.matgroupcount = static_cast<std::uint16_t>(groups.size());
    InitMeshObjField3ds(&target, MeshFieldMatGroups3ds);
    if (ToolkitFailed()) {
        return false;
    }
    std::uint16_t group = 0;
    for (const auto& [key, faces] : groups) {
        MaterialRecord material = WriteMaterials(data, std::get<0>(key), std::get<1>(key), std::get<2>(key));
        if (material == nullptr || ToolkitFailed()) {
            return false;
        }
        ReportNonFinite(writer3ds::ZeroNonFinite(*material), material->name);
        PutMaterial3ds(mDatabase, material.get());
        if (ToolkitFailed()) {
            return false;
        }
        meshmatgroup3ds& entry = target.matgroups[group];
        SetName(entry.name, material->name);
        InitMatArrayIndex3ds(&target, group, static_cast<std::uint16_t>(faces.size()));
        if (ToolkitFailed()) {
            return false;
        }
        entry.facecount = static_cast<std::uint16_t>(faces.size());
        std::copy(faces.begin(), faces.end(), entry.faces);
        ++group;
    }
    PutMesh3ds(mDatabase, &target);
    return !ToolkitFailed();
}

KFbxWriter3DS::MeshRecord KFbxWriter3DS::MakeMeshObject(const MeshData& data, const writer3ds::MeshPart& part,
                                                        const Frame& world, const Frame& matrix,
                                                        const std::string& name) {
    auto record = reader3ds::MakeRecord<MeshRecord>(&InitMeshObj3ds, static_cast<std::uint16_t>(part.mPoints.size()),
                                                    static_cast<std::uint16_t>(part.mTriangles.size()), 0xFF);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetName(record->name, name);

    // Points where the scene has them, as 3DS files hold them, and the mesh
    // matrix that brings them back into the object's own space. The scene's
    // X, Y and Z axes are the file's X, Z and -Y.
    const auto row = [&matrix](int index, double sign) {
        const std::size_t at = static_cast<std::size_t>(index) * 4;
        return ConvertPosition(KFbxVector4(sign * matrix[at], sign * matrix[at + 1], sign * matrix[at + 2], 0.0));
    };
    const KFbxVector4 rows[4] = {row(0, 1.0), row(2, -1.0), row(1, 1.0), row(3, 1.0)};
    for (int index = 0; index < 4; ++index) {
        for (int column = 0; column < 3; ++column) {
            record->localmatrix[index * 3 + column] = static_cast<float>(rows[index][column]);
        }
    }
    // A coordinate that is not a number is 0 before the point is moved, so
    // that it does not spoil the point's other coordinates.
    std::size_t replaced = 0;
    for (std::size_t index = 0; index < part.mPoints.size(); ++index) {
        const std::size_t point = static_cast<std::size_t>(part.mPoints[index]);
        KFbxVector4 source = data.mPoints[point];
        for (int axis = 0; axis < 3; ++axis) {
            if (!std::isfinite(source[axis])) {
                source[axis] = 0.0;
                ++replaced;
            }
        }
        double moved[3];
        KgeMatrixMultPoint(moved, world.data(), source);
        const KFbxVector4 converted = ConvertPosition(KFbxVector4(moved[0], moved[1], moved[2], 0.0));
        record->vertices[index] = {static_cast<float>(converted[0]), static_cast<float>(converted[1]),
                                   static_cast<float>(converted[2])};
        if (data.mTextured && point < data.mUVs.size()) {
            const KFbxVector2& uv = data.mUVs[point];
            record->texverts[index] = {static_cast<float>(uv[0]), static_cast<float>(uv[1])};
        }
    }

    ReportNonFinite(replaced, name);

    // Where a mirror puts the points, the faces go the other way round, so
    // that they still face outward there, as readers take them.
    const int second = KFbxWriterMesh::TurnsInsideOut(world.data()) ? 2 : 1;
    writer3ds::SmoothingGroups smoothing;
    for (std::size_t face = 0; face < part.mTriangles.size(); ++face) {
        const writer3ds::PartTriangle& triangle = part.mTriangles[face];
        const auto pointOf = [&](int index) -> const KFbxVector4& {
            const int corner = triangle.mCorners[index];
            return data.mPoints[static_cast<std::size_t>(data.mCorners[static_cast<std::size_t>(corner)])];
        };
        const KFbxVector4 normal = writer3ds::FaceNormal(pointOf(0), pointOf(1), pointOf(2));
        bool flat = !data.mCornerNormals.empty();
        for (int index = 0; flat && index < 3; ++index) {
            const KFbxVector4& given = data.mCornerNormals[static_cast<std::size_t>(triangle.mCorners[index])];
            flat = given[0] == normal[0] && given[1] == normal[1] && given[2] == normal[2];
        }
        record->faces[face] = {triangle.mPoints[0], triangle.mPoints[second], triangle.mPoints[3 - second],
                               kAllEdgesVisible};
        record->smoothgroups[face] = smoothing.Next(flat);
    }
    return record;
}

void KFbxWriter3DS::SetMaterialColours(material3ds& record, const KFbxSurfaceMaterial* material) const {
    if (material == nullptr) {
        const double grey[3] = {kDefaultGrey, kDefaultGrey, kDefaultGrey};
        record.ambient = Colour(grey, 1.0);
        record.diffuse = Colour(grey, 1.0);
        record.transparency = 0.0f;
        record.selfillum = 0.0f;
        record.shading = 3;
        return;
    }
    FactoredColour(*material, "AmbientColor", "AmbientFactor", record.ambient);
    FactoredColour(*material, "DiffuseColor", "DiffuseFactor", record.diffuse);
    double specular[3];
    if (ReadColour(*material, "SpecularColor", specular)) {
        record.specular = Colour(specular, 1.0);
    }
    double value = 0.0;
    if (ReadNumber(*material, "SpecularFactor", value)) {
        record.shinstrength = static_cast<float>(value * kFullShininessStrength);
    }
    if (ReadNumber(*material, "ShininessExponent", value)) {
        // The file's shininess reads back as 2 to the power 20 times it: an
        // exponent of 1024 is the sharpest highlight, half of the range.
        const double shininess = value > 0.0 ? std::log2(value) / 20.0 : 0.0;
        record.shininess = static_cast<float>(shininess < 0.0 ? 0.0 : shininess > 1.0 ? 1.0 : shininess);
    }
    MeanTimesFactor(*material, "TransparentColor", "TransparencyFactor", record.transparency);
    MeanTimesFactor(*material, "EmissiveColor", "EmissiveFactor", record.selfillum);
    record.shading = 3;
}

void KFbxWriter3DS::SetTextureMap(texturemap3ds& map, const KFbxTexture& texture, int number,
                                  const std::string& material) {
    const char* fileName = texture.GetFileName();
    std::string name = MapFileName(CopyTextureFile(fileName).c_str());
    if (name.empty()) {
        name = "Tex" + Decimal(number);
        const KString bare = KFbxExtractFileName(KString(fileName), true);
        mMessage += "Texture name file: \"";
        mMessage += bare;
        mMessage += "\" is too long.\nChange manually texture name: \"Tex";
        mMessage += Decimal(number).c_str();
        mMessage += "\" in material \"";
        mMessage += material.c_str();
        mMessage += "\" by \"";
        mMessage += fileName;
        mMessage += "\" for proper work\n\n";
    }
    SetName(map.name, name.substr(0, kMapNameLength));
    map.percent = 1.0f;
    const double su = texture.GetScaleU();
    const double sv = texture.GetScaleV();
    const double tu = texture.GetTranslationU();
    const double tv = texture.GetTranslationV();
    const double w = texture.GetRotationW();
    map.uscale = static_cast<float>(su);
    map.vscale = static_cast<float>(sv);
    if (su == 0.0 || sv == 0.0) {
        // No placement can be told from a texture scaled to nothing.
        map.uoffset = 0.0f;
        map.voffset = 0.0f;
    } else if (w == 0.0) {
        map.uoffset = static_cast<float>(-(tu / su) - 0.5 * (1.0 - 1.0 / su));
        map.voffset = static_cast<float>(tv / sv + 0.5 * (1.0 - 1.0 / sv));
    } else {
        double turn[16] = {};
        KgeMatrixSetRotationXYZ(turn, 0.0, 0.0, -w);
        turn[12] = turn[13] = turn[14] = 0.0;
        const double corner[3] = {-(tu - 0.5) / su, -(tv - 0.5) / sv, 0.0};
        double turned[3];
        KgeMatrixMultPoint(turned, turn, corner);
        map.uoffset = static_cast<float>(turned[0] - 0.5);
        map.voffset = static_cast<float>(-(turned[1] - 0.5));
        map.rotation = static_cast<float>(-w);
    }
    map.tiling = texture.GetWrapModeU() == KFbxTexture::eREPEAT ? MapTile3ds : MapDecal3ds;
}

KFbxWriter3DS::MaterialRecord KFbxWriter3DS::WriteMaterials(const MeshData& data, int material, int first,
                                                            int second) {
    const auto textureOf = [&data](int number) {
        return number >= 0 && number < data.NoTexture() ? data.mTextures[static_cast<std::size_t>(number)] : nullptr;
    };
    const KFbxTexture* texture = textureOf(first);
    const KFbxTexture* texture2 = textureOf(second);
    if (!Shows(texture)) {
        texture = nullptr;
    }
    if (!Shows(texture2)) {
        texture2 = nullptr;
    }
    if (texture == nullptr && texture2 != nullptr) {
        texture = texture2;
        first = second;
        texture2 = nullptr;
    }
    auto record = reader3ds::MakeRecord<MaterialRecord>(&InitMaterial3ds);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    const KFbxSurfaceMaterial* source =
        material >= 0 && material < static_cast<int>(data.mMaterials.size())
            ? data.mMaterials[static_cast<std::size_t>(material)]
            : nullptr;
    SetMaterialColours(*record, source);
    record->twosided = 1;

    std::string name;
    if (texture == nullptr) {
        name = source != nullptr ? FileNameOf(source) : DefaultMaterialName();
    } else {
        name = Decimal(mMeshCounter) + ".Mat" + Decimal(material);
        name += texture2 == nullptr ? "Tex" + Decimal(first) : "T" + Decimal(first) + "T" + Decimal(second);
        // Generated names go through the file's names too: a long one is cut
        // and numbered instead of left empty, and none repeats a user's name.
        KString fitted(name.c_str());
        mRenaming.Rename(fitted, KRenamingStrategy3DS::kMaterialNameLimit);
        name = fitted.Buffer();
    }
    SetName(record->name, name);
    if (texture != nullptr) {
        SetTextureMap(record->texture, *texture, first, name);
    }
    if (texture2 != nullptr) {
        SetTextureMap(record->texture2, *texture2, second, name);
    }
    return record;
}

const std::string& KFbxWriter3DS::DefaultMaterialName() {
    // Named once per file, so that a material of the scene named "Default"
    // keeps its own record.
    if (mDefaultMaterialName.empty()) {
        KString name("Default");
        mRenaming.Rename(name, KRenamingStrategy3DS::kMaterialNameLimit);
        mDefaultMaterialName = name.Buffer();
    }
    return mDefaultMaterialName;
}

std::string KFbxWriter3DS::CopyTextureFile(const char* fileName) {
    const KString source(fileName != nullptr ? fileName : "");
    // Beside the written file, with the platform's own separator.
    const std::filesystem::path folder = std::filesystem::path(mFileName).parent_path();
    const std::string target = (folder / KFbxExtractFileName(source, true).Buffer()).string();
    return mTextureCopies.NameOf(source.Buffer(), target, kMapNameLength, mMessage);
}

}  // namespace fbxsdk_2006_11_1
