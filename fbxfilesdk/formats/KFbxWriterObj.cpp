#include <fbxfilesdk/formats/KFbxWriterObj.h>

#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxMeshFilePreparation.h>
#include <fbxfilesdk/formats/KFbxWriterMesh.h>
#include <fbxfilesdk/formats/ObjFilePaths.h>
#include <fbxfilesdk/formats/ObjNumbers.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeWalk.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <optional>

namespace fbxsdk_2006_11_1 {

namespace {

void AppendInteger(std::string& line, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    line.append(digits, end);
}

// The element's item for a polygon (by its index array when it has one);
// -1 when it has none or the index is out of the element's range.
int PolygonItem(const DynamicArrayOf<int>* indices, int polygon, int count) {
    if (indices == nullptr || polygon < 0 || polygon >= indices->GetCount()) return -1;
    const int index = indices->GetAt(polygon);
    return index >= 0 && index < count ? index : -1;
}

}  // namespace

KFbxWriterObj::KFbxWriterObj(KFbxSdkManager& manager, KFbxIO* /*io*/) : KFbxWriter(manager) {}

KFbxWriterObj::~KFbxWriterObj() { FileClose(); }

bool KFbxWriterObj::FileCreate(const char* fileName) {
    FileClose();
    mError.ClearError();
    StartOutput();
    if (fileName == nullptr || fileName[0] == '\0') {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    KFbxCreateDirectoryPath(fileName);
    if (!mObjOutput.Open(fileName)) {
        mMessage += SetOpenFailure(fileName, errno) + "\n";
        return false;
    }
    mObjFile = mObjOutput.Stream();
    mObjFileName = fileName;
    return true;
}

bool KFbxWriterObj::FileClose() {
    // The library takes its name with the OBJ file's, or not at all: an OBJ
    // file never names one that could not be kept, and one that failed
    // leaves the library it had.
    bool libraryFailed = false;
    const bool closed = mObjOutput.CloseWith(mMtlOutput, IsOutputWhole(), libraryFailed);
    if (!closed) mMessage += SetWriteFailure((libraryFailed ? mMtlPath : mObjFileName).Buffer(), errno) + "\n";
    mObjFile = nullptr;
    mObjFileName = KString();
    mMtlPath = KString();
    return closed;
}

KFbxStreamOptions* KFbxWriterObj::GetWriteOptions() { return KFbxStreamOptionsObjWriter::Create(&mManager, ""); }

bool KFbxWriterObj::PreprocessScene(KFbxScene& scene) { return KFbxMeshFilePreparation::PreprocessScene(scene, mNames); }

bool KFbxWriterObj::PostprocessScene(KFbxScene& scene) {
    KFbxMeshFilePreparation::RestoreScene(scene, mNames);
    return false;
}

void KFbxWriterObj::FlushLine(std::FILE* file) {
    if (file != nullptr) std::fwrite(mLine.data(), 1, mLine.size(), file);
    mLine.clear();
}

void KFbxWriterObj::WritePointLine(const char* keyword, const KFbxVector4& point) {
    mLine += keyword;
    ObjAppendNumber(mLine, point[0], mNotFinite);
    ObjAppendNumber(mLine, point[1], mNotFinite);
    ObjAppendNumber(mLine, point[2], mNotFinite);
    mLine += '\n';
    FlushLine(mObjFile);
}

bool KFbxWriterObj::Write(KFbxScene* scene, KFbxStreamOptions* options) {
    KFbxNode* root = KFbxMeshFilePreparation::BeginWrite(mError, dynamic_cast<KFbxStreamOptionsObjWriter*>(options),
                                               mObjFile != nullptr, scene, mTriangulate, mDeformation);
    if (root == nullptr) {
        NoteWrite(false);
        return false;
    }
    // Each write numbers its own file from 1.
    mVertexCounter = mTextureCoordinateCounter = mNormalCounter = 1;
    mMaterialsNeeded = false;
    mMaterials.clear();
    mTextureCopies.Clear();
    mMaterialNames.Clear();
    KFbxMeshFilePreparation::RenamedScene renamed(*scene);

    CheckMaterials(*root);
    mLine = "# \n# Wavefront OBJ file\n# Created with Rezaziv FBX\n# \n";
    if (mMaterialsNeeded) {
        // The default material's name is the first the library hands out.
        KString reserved(kDefaultMaterialName);
        mMaterialNames.Rename(reserved);
        // An OBJ file whose materials are lost is no whole file.
        if (!OpenMaterialFile()) {
            NoteWrite(false);
            return false;
        }
        mLine += "mtllib ";
        mLine += mMtlName;
        mLine += "\n\n";
    }
    FlushLine(mObjFile);
    WriteNodes(*root);

    errno = 0;
    KString failed = mObjFileName;
    bool written = std::fflush(mObjFile) == 0 && std::ferror(mObjFile) == 0;
    if (written && mMtlFile != nullptr) {
        failed = mMtlPath;
        written = std::fflush(mMtlFile) == 0 && std::ferror(mMtlFile) == 0;
    }
    const int failure = errno;
    CloseMaterialFile();
    mMaterials.clear();
    renamed.Restore();
    NoteWrite(written);
    if (!written) {
        mMessage += SetWriteFailure(failed.Buffer(), failure) + "\n";
        return false;
    }
    return true;
}

void KFbxWriterObj::CheckMaterials(KFbxNode& root) {
    KFbxForEachNodeFrom(root, [this](KFbxNode& node) {
        if (const KFbxLayerContainer* geometry = KFbxWriterMesh::WrittenGeometry(node)) {
            if (geometry->GetMaterialCount(0) > 0 ||
                geometry->GetTextureCount(0, KFbxLayerElement::eDIFFUSE_TEXTURES) > 0) {
                mMaterialsNeeded = true;
            }
        }
    });
}

void KFbxWriterObj::WriteNodes(KFbxNode& root) {
    KFbxForEachNodeFrom(root, [this](KFbxNode& node) {
        if (KFbxWriterMesh::WrittenGeometry(node) != nullptr) WriteMesh(node);
    });
}

void KFbxWriterObj::WriteMesh(KFbxNode& node) {
    KFbxWriterMesh prepared;
    if (!prepared.Prepare(node, mTriangulate, mDeformation)) return;
    const KFbxMesh& mesh = *prepared.GetMesh();
    const std::vector<KFbxVector4>& points = prepared.GetControlPoints();
    const std::vector<KFbxVector4>& normals = prepared.GetNormals();
    const int pointCount = static_cast<int>(points.size());
    const KgeMatrix global(node.EvaluateDefaultGlobalTransform());
    const KgeMatrix normalMatrix = global.GetInverseOrthogonal().GetTranspose();
    // Where the transform turns the faces inside out, their corners are
    // written the other way round, each with its own texture coordinate and
    // normal.
    const bool mirrored = KFbxWriterMesh::TurnsInsideOut(global);

    const int channel = KFbxLayerElement::eDIFFUSE_TEXTURES;
    const KFbxVector2* uvArray = mesh.GetTextureUVArray(channel);
    const int uvCount = uvArray != nullptr ? mesh.GetTextureUVCount(channel) : 0;
    const int materialCount = mesh.GetMaterialCount(0);
    const int textureCount = mesh.GetTextureCount(0, channel);
    const int polygonCount = mesh.GetPolygonCount();
    const KFbxLayerElement::EMappingMode materialMapping = mesh.GetMaterialMappingMode();
    const KFbxLayerElement::EMappingMode textureMapping = mesh.GetTextureMappingMode();
    const DynamicArrayOf<int>* materialIndices = mesh.GetMaterialIndices();
    const DynamicArrayOf<int>* textureIndices = mesh.GetTextureIndices();
    const std::int64_t vertexBase = mVertexCounter;
    const std::int64_t uvBase = mTextureCoordinateCounter;
    const std::int64_t normalBase = mNormalCounter;

    // A face needs three corners, each a point of the mesh.
    const auto written = [&mesh, pointCount](int polygon) {
        const int size = mesh.GetPolygonSize(polygon);
        for (int k = 0; k < size; ++k) {
            const int index = mesh.GetPolygonVertex(polygon, k);
            if (index < 0 || index >= pointCount) return false;
        }
        return size >= 3;
    };
    const KFbxTexture* lastTexture = textureCount > 0 ? mesh.GetTexture(textureCount - 1, 0, channel) : nullptr;
    const auto polygonTexture = [&](int polygon) -> const KFbxTexture* {
        if (textureCount == 0) return nullptr;
        if (textureMapping == KFbxLayerElement::eALL_SAME) return lastTexture;
        if (textureMapping != KFbxLayerElement::eBY_POLYGON) return nullptr;
        const int index = PolygonItem(textureIndices, polygon, textureCount);
        return index >= 0 ? mesh.GetTexture(index, 0, channel) : nullptr;
    };

    const std::string group = WrittenName(node.GetName(), "node");
    mLine = "g " + group + "\n";
    FlushLine(mObjFile);
    mNotFinite = 0;

    for (const KFbxVector4& point : points) {
        const KFbxVector4 world = global.MultT(point);
        WritePointLine("v", world);
    }
    mVertexCounter += pointCount;

    // Texture coordinates: the array as it is, or one per corner when each
    // polygon has a texture of its own that may swap them.
    bool writeUVs = uvCount > 0;
    const bool uvPerCorner = writeUVs && textureCount > 0 && textureMapping == KFbxLayerElement::eBY_POLYGON;
    if (writeUVs && textureCount > 0 && textureMapping != KFbxLayerElement::eALL_SAME && !uvPerCorner) {
        writeUVs = false;
    }
    const auto writeUV = [this](const KFbxVector2& uv, bool swap) {
        mLine += "vt";
        ObjAppendNumber(mLine, swap ? uv[1] : uv[0], mNotFinite);
        ObjAppendNumber(mLine, swap ? uv[0] : uv[1], mNotFinite);
        mLine += '\n';
        FlushLine(mObjFile);
        ++mTextureCoordinateCounter;
    };
    if (writeUVs && uvPerCorner) {
        for (int p = 0; p < polygonCount; ++p) {
            if (!written(p)) continue;
            const KFbxTexture* texture = polygonTexture(p);
            const bool swap = texture != nullptr && texture->GetSwapUV();
            for (int k = 0; k < mesh.GetPolygonSize(p); ++k) {
                const int index = mesh.GetTextureUVIndex(p, k, channel);
                writeUV(index >= 0 ? uvArray[index] : KFbxVector2(0.0, 0.0), swap);
            }
        }
    } else if (writeUVs) {
        const bool swap = lastTexture != nullptr && lastTexture->GetSwapUV();
        for (int i = 0; i < uvCount; ++i) writeUV(uvArray[i], swap);
    }

    // Normals, turned as surfaces turn: one per control point, or else one
    // per polygon corner when the mesh keeps them by corner or by polygon.
    const KFbxLayer* layer = mesh.GetLayer(0);
    const KFbxLayerElementNormal* cornerNormals = layer != nullptr ? layer->GetNormals() : nullptr;
    const bool normalPerPolygon =
        cornerNormals != nullptr && cornerNormals->GetMappingMode() == KFbxLayerElement::eBY_POLYGON;
    if (!normals.empty() || cornerNormals == nullptr ||
        (cornerNormals->GetMappingMode() != KFbxLayerElement::eBY_POLYGON_VERTEX && !normalPerPolygon) ||
        cornerNormals->GetReferenceMode() == KFbxLayerElement::eINDEX) {
        cornerNormals = nullptr;
    }
    const bool writeNormals = !normals.empty() || cornerNormals != nullptr;
    const auto writeNormal = [this, &normalMatrix](const KFbxVector4& normal) {
        KFbxVector4 world = normalMatrix.MultT(KFbxVector4(normal[0], normal[1], normal[2], 0.0));
        const double length = std::sqrt(world[0] * world[0] + world[1] * world[1] + world[2] * world[2]);
        if (length > 0.0 && std::isfinite(length)) {
            world = KFbxVector4(world[0] / length, world[1] / length, world[2] / length, 0.0);
        }
        WritePointLine("vn", world);
        ++mNormalCounter;
    };
    for (const KFbxVector4& normal : normals) writeNormal(normal);
    if (cornerNormals != nullptr) {
        const auto& direct = cornerNormals->GetDirectArray();
        const auto& indices = cornerNormals->GetIndexArray();
        const bool indexed = cornerNormals->GetReferenceMode() == KFbxLayerElement::eINDEX_TO_DIRECT;
        for (int p = 0; p < polygonCount; ++p) {
            if (!written(p)) continue;
            for (int k = 0; k < mesh.GetPolygonSize(p); ++k) {
                int item = normalPerPolygon ? p : mesh.GetPolygonVertexIndex(p) + k;
                if (indexed) item = item < indices.GetCount() ? indices.GetAt(item) : -1;
                writeNormal(item >= 0 && item < direct.GetCount() ? direct.GetAt(item) : KFbxVector4());
            }
        }
    }

    // Materials: one "usemtl" for the whole mesh when nothing varies by
    // polygon, else one wherever the pair changes.
    const KFbxSurfaceMaterial* lastMaterial = materialCount > 0 ? mesh.GetMaterial(materialCount - 1, 0) : nullptr;
    const bool uniform = (materialCount == 0 || materialMapping == KFbxLayerElement::eALL_SAME) &&
                         (textureCount == 0 || textureMapping == KFbxLayerElement::eALL_SAME);
    if (uniform && (materialCount > 0 || textureCount > 0 || mMaterialsNeeded)) {
        const MaterialEntry& entry = FindMaterialEntry(lastMaterial, lastTexture);
        mLine = "usemtl " + entry.mName + "\n";
        FlushLine(mObjFile);
    }
    // The polygon's material: null for the default one, none at all for a
    // mapping that names no material.
    const auto polygonMaterial = [&](int polygon) -> std::optional<const KFbxSurfaceMaterial*> {
        if (materialCount == 0) return nullptr;  // the default material
        int index = -1;
        switch (materialMapping) {
            case KFbxLayerElement::eALL_SAME:
                return lastMaterial;
            case KFbxLayerElement::eBY_POLYGON:
                index = PolygonItem(materialIndices, polygon, materialCount);
                break;
            case KFbxLayerElement::eBY_CONTROL_POINT:
                index = mesh.GetPolygonVertex(polygon, 0);
                index = index < materialCount ? index : -1;
                break;
            default:
                return std::nullopt;
        }
        // An index that names no material falls back on the default one.
        return index >= 0 ? mesh.GetMaterial(index, 0) : nullptr;
    };

    std::optional<const KFbxSurfaceMaterial*> previousMaterial;
    const KFbxTexture* previousTexture = nullptr;
    std::int64_t cornerNumber = 0;
    for (int p = 0; p < polygonCount; ++p) {
        if (!written(p)) continue;
        if (!uniform) {
            const std::optional<const KFbxSurfaceMaterial*> material = polygonMaterial(p);
            const KFbxTexture* texture = polygonTexture(p);
            if (material.has_value() && (material != previousMaterial || texture != previousTexture)) {
                mLine = "usemtl " + FindMaterialEntry(*material, texture).mName + "\n";
                FlushLine(mObjFile);
            }
            previousMaterial = material;
            previousTexture = texture;
        }
        const int size = mesh.GetPolygonSize(p);
        // A face whose corners do not all have a texture coordinate writes none.
        bool faceUVs = writeUVs;
        for (int k = 0; faceUVs && !uvPerCorner && k < size; ++k) {
            faceUVs = mesh.GetTextureUVIndex(p, k, channel) >= 0;
        }
        mLine += 'f';
        for (int at = 0; at < size; ++at) {
            const int k = mirrored ? size - 1 - at : at;
            const int point = mesh.GetPolygonVertex(p, k);
            mLine += ' ';
            AppendInteger(mLine, vertexBase + point);
            if (faceUVs || writeNormals) mLine += '/';
            if (faceUVs) {
                AppendInteger(mLine, uvBase + (uvPerCorner ? cornerNumber + k : mesh.GetTextureUVIndex(p, k, channel)));
            }
            if (writeNormals) {
                mLine += '/';
                AppendInteger(mLine, normalBase + (cornerNormals != nullptr ? cornerNumber + k : point));
            }
        }
        cornerNumber += size;
        mLine += '\n';
        FlushLine(mObjFile);
    }
    TellNotFinite("mesh", group.c_str(), mNotFinite);
}

std::string KFbxWriterObj::WrittenName(const char* name, const char* what) {
    bool controls = false;
    std::string word = ObjWrittenName(name != nullptr ? name : "", controls);
    if (controls) {
        mMessage += "The ";
        mMessage += what;
        mMessage += " name \"";
        mMessage += word.c_str();
        mMessage += "\" is written with '_' for its control characters.\n";
    }
    return word;
}

void KFbxWriterObj::TellNotFinite(const char* what, const char* name, int count) {
    KFbxMeshFilePreparation::TellNotFinite(mMessage, what, name, count);
}

}  // namespace fbxsdk_2006_11_1
