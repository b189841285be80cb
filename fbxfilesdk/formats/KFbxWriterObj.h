// Writes the meshes of a scene as a Wavefront OBJ file, and their materials
// as an MTL library beside it with copies of the diffuse texture files.
// Every mesh node becomes a "g" group with its vertices and normals in
// world space; NURBS and patches are written as triangle meshes, meshes too
// with the "TRIANGULATE" option; with "DEFORMATION", shapes and skins are
// applied at the default pose. The caller's scene is left as it was: names,
// geometry, deformers and materials.
#ifndef FBXFILESDK_FORMATS_KFBXWRITEROBJ_H
#define FBXFILESDK_FORMATS_KFBXWRITEROBJ_H

#include <fbxfilesdk/core/KFbxTextureCopies.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/KFbxWriter.h>
#include <fbxfilesdk/scene/KFbxSceneNameSnapshot.h>
#include <fbxfilesdk/scene/KRenamingStrategy.h>

#include <platform/os/ReplacementFile.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxNode;
class KFbxSurfaceMaterial;
class KFbxTexture;

class KFbxWriterObj : public KFbxWriter {
public:
    // The IO object is not used.
    KFbxWriterObj(KFbxSdkManager& manager, KFbxIO* io);
    ~KFbxWriterObj() override;

    // Closes an open file first and makes the missing folders of the path;
    // "File not opened" when the file cannot be made, with the system's
    // reason.
    bool FileCreate(const char* fileName) override;
    // True when nothing was open or the close succeeded; when a file written
    // whole could not be kept, "Out of disk space" for a full disk and an
    // unidentified error otherwise, the system's reason in the message. The
    // OBJ file and its library take the places of the files named only
    // after writes that all succeeded, and only together: when either
    // cannot, both are left as they were.
    bool FileClose() override;
    bool IsFileOpen() override { return mObjFile != nullptr; }
    // New KFbxStreamOptionsObjWriter options with their defaults.
    KFbxStreamOptions* GetWriteOptions() override;
    // "Stream options not set" for options of another class or none; "File
    // not opened" without a file; when a stream fails, as FileClose says it.
    // A material library that cannot be made, or that is the OBJ file
    // itself under its name or another, fails the write as a stream that
    // fails does, naming the library. The message text tells, a line
    // each, the texture files that were not copied and every value written
    // otherwise than the scene holds it: names holding control characters,
    // numbers that are not finite.
    bool Write(KFbxScene* scene, KFbxStreamOptions* options) override;
    // The shared renaming of plain mesh files, with this writer's own
    // snapshot of the names; PostprocessScene gives them back and, as the
    // file kind has nothing to finish, answers false.
    bool PreprocessScene(KFbxScene& scene) override;
    bool PostprocessScene(KFbxScene& scene) override;

private:
    // The name of the material of meshes that have none.
    static constexpr const char* kDefaultMaterialName = "default";

    // One "newmtl" block: a material (null for the default one) with a
    // texture (may be null) under the name "usemtl" lines give it.
    struct MaterialEntry {
        const KFbxSurfaceMaterial* mMaterial = nullptr;
        const KFbxTexture* mTexture = nullptr;
        std::string mName;
    };

    // Whether a mesh of the node or below it uses a material or a texture.
    void CheckMaterials(KFbxNode& root);
    // Opens the library beside the file, named after it; false, the
    // failure set, when it cannot be made or is the OBJ file itself.
    bool OpenMaterialFile();
    void CloseMaterialFile();
    // The meshes of the node and below it.
    void WriteNodes(KFbxNode& root);
    void WriteMesh(KFbxNode& node);
    // The entry of the pair, made (and its block written) when new.
    const MaterialEntry& FindMaterialEntry(const KFbxSurfaceMaterial* material, const KFbxTexture* texture);
    void WriteMaterial(const MaterialEntry& entry);
    // Copies a regular file beside the OBJ file, under the name or a
    // numbered one; the name that names the copy.
    std::string CopyTextureFile(const char* source, const std::string& name);
    // The name as one word of a statement; what (and the name) is told in
    // the message when a control character had to go.
    std::string WrittenName(const char* name, const char* what);
    // Tells in the message that count values of what were not finite
    // numbers (nothing for 0).
    void TellNotFinite(const char* what, const char* name, int count);

    // The line buffer's contents go to the OBJ or the MTL stream.
    void FlushLine(std::FILE* file);
    // A line of the keyword and the point's x, y and z, written to the OBJ file.
    void WritePointLine(const char* keyword, const KFbxVector4& point);

    qalimor::os::ReplacementFile mObjOutput;
    qalimor::os::ReplacementFile mMtlOutput;
    // Their streams while written.
    std::FILE* mObjFile = nullptr;
    std::FILE* mMtlFile = nullptr;
    KString mObjFileName;
    // The library's name without folder, as "mtllib" gives it, and its
    // path, which messages give, kept until the library takes its name.
    std::string mMtlName;
    KString mMtlPath;
    bool mTriangulate = false;
    bool mDeformation = true;
    bool mMaterialsNeeded = false;
    std::int64_t mVertexCounter = 1;
    std::int64_t mTextureCoordinateCounter = 1;
    std::int64_t mNormalCounter = 1;
    // Values of the mesh or material being written that were not finite.
    int mNotFinite = 0;
    std::vector<MaterialEntry> mMaterials;
    // Texture files a write copied or tried to: each is met once.
    KFbxTextureCopies mTextureCopies;
    KNumberRenamingStrategy mMaterialNames;
    KFbxSceneNameSnapshot mNames;
    std::string mLine;
};

}  // namespace fbxsdk_2006_11_1

#endif
