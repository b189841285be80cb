// Reads Wavefront OBJ files (*.obj) into a scene. Every polygon group ("g")
// becomes a node with one mesh, every rational B-spline surface a node with
// a NURBS surface; "usemtl" materials and their diffuse textures come from
// the material libraries that "mtllib" names. The file is read in one pass
// into lists; the meshes are built once the whole file is read.
#ifndef FBXFILESDK_FORMATS_KFBXREADEROBJ_H
#define FBXFILESDK_FORMATS_KFBXREADEROBJ_H

#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/fbx/KFbxReader.h>
#include <fbxfilesdk/formats/ObjGroup.h>
#include <fbxfilesdk/scene/KRenamingStrategy.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxMesh;
class KFbxNode;
class KFbxNurb;
struct ObjStatement;
class ObjStatementReader;

class KFbxReaderObj : public KFbxReader {
public:
    KFbxReaderObj(KFbxSdkManager& manager, KFbxIO* io);
    ~KFbxReaderObj() override;

    // Opens the file for reading (an open one is closed first); false with
    // eFILE_NOT_OPENED and the name and reason in the error text when it
    // cannot be opened or is no regular file (a FIFO, a device, a folder).
    bool FileOpen(const char* fileName) override;
    bool OpensRegularFilesOnly() const override;
    bool FileClose() override;
    bool IsFileOpen() override;
    // New KFbxStreamOptionsObjReader options with their defaults.
    KFbxStreamOptions* GetReadOptions() override;
    // Options of another class (or none): eSTREAM_OPTIONS_NOT_SET, false.
    // No open file: eFILE_NOT_OPENED. A vertex, normal or texture-coordinate
    // statement with too few numbers, a surface before any curve type or a
    // line of ObjStatementReader::kMaxLine bytes or more ends the read with
    // eFILE_CORRUPTED; surface nodes made so far stay. So does a file that
    // holds no OBJ statement (nothing, or only lines no OBJ file holds). Too
    // little memory ends it with eOUT_OF_MEMORY.
    // Everything else that is wrong is skipped with a warning in the message
    // text, and the rest is read.
    bool Read(KFbxScene* scene, KFbxStreamOptions* options) override;

    // Finds where the blocks of each library the line names begin, the
    // library taken as given or beside the OBJ file and opened only if it is
    // a regular file; a library named before is not read again. False when
    // the line names none or one of them cannot be read; each of those is
    // told in the message text with the reason.
    bool OpenMaterialLibraries(std::string_view line);
    // The material of the name from the first library that defines it, and
    // its diffuse texture (null without "map_Kd"), whose file is looked for
    // as a library is, as given and then beside its library; false, both
    // null, when no library has it.
    bool ReadMaterial(std::string_view name, KFbxSurfaceMaterial*& material, KFbxTexture*& texture);
    // Forgets every library; true.
    bool CloseMaterialLibraries();

private:
    // Group and material names compare without regard to case.
    struct CaseLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    // A material name's look, by its number in the list of looks.
    struct MaterialEntry {
        std::uint32_t mLook = 0;
    };
    // A material library, read once when "mtllib" names it: its path and
    // where the first block of each name in it begins. It is open only
    // while it is read, so that a file naming many libraries never holds
    // many open files.
    struct MaterialLibrary {
        std::string mPath;
        std::unordered_map<std::string, std::int64_t> mBlocks;
    };
    // Problems met many times are told once, with a count and the first line.
    enum EWarning {
        eSHORT_FACE,
        eBAD_CORNER,
        eVERTEX_OUT_OF_RANGE,
        eUV_OUT_OF_RANGE,
        eNORMAL_OUT_OF_RANGE,
        eNOT_FINITE,
        eBAD_SURFACE,
        eWARNING_COUNT
    };
    struct Tally {
        std::int64_t mCount = 0;
        std::int64_t mFirstLine = 0;
    };

    // ---- the parse (KFbxReaderObj.cpp) ----
    void ResetReadState();
    bool Parse(ObjStatementReader& statements);
    // Parse and build; false with the error set.
    bool ReadScene(KFbxScene& scene);
    // Ends the read with eFILE_CORRUPTED; the text, with the line when it is
    // known, goes to the error and to the message text.
    bool Fail(const char* what, std::int64_t line);
    // Whether the file defined an element: a vertex of any kind, a face or a
    // surface.
    bool DefinesAnything() const;
    void Warn(EWarning warning, std::int64_t line);
    void ReportWarnings();
    void ReportUnsupported(std::string_view keyword);
    void ReportMissingMaterial(std::string_view name);
    void ReportMissingLibrary(std::string_view name, const std::string& reason);
    // Reads where the blocks of the library begin; false with the reason.
    bool IndexMaterialLibrary(MaterialLibrary& library, std::string& reason);
    bool ReadVertex(const ObjStatement& statement);
    bool ReadNormal(const ObjStatement& statement);
    bool ReadTextureCoordinate(const ObjStatement& statement);
    bool ReadParameterVertex(const ObjStatement& statement);
    void ReadFace(const ObjStatement& statement);
    // "%d" fields of a corner token; false for an unreadable corner.
    static bool ParseFaceVertex(std::string_view token, int& vertex, int& uv, int& normal);
    void UseMaterial(std::string_view name);
    void SetGroupName(std::string_view line);
    void SetSmoothingGroup(std::string_view line);
    void SetCurveType(std::string_view line);

    // ---- surfaces (KFbxReaderObjSurface.cpp) ----
    bool ReadSurfaceBlock(ObjStatementReader& statements, const ObjStatement& statement);
    bool ReadSurf(ObjSurface& surface, std::string_view line);
    static bool ReadParm(ObjSurface& surface, std::string_view line);
    KFbxNurb* CreateNurb(const ObjSurface& surface, std::int64_t line);
    static void SkipBlock(ObjStatementReader& statements);

    // ---- the scene (KFbxReaderObjMesh.cpp) ----
    bool BuildScene(KFbxScene& scene);
    // The node and mesh of one group under the parent; false when either
    // cannot be made.
    bool BuildGroupNode(const std::string& name, ObjGroup& group, KFbxNode& parent);
    KFbxMesh* CreateMesh(ObjGroup& group);
    bool ComputeMissingNormals(ObjGroup& group);
    KFbxVector4 FaceNormal(const ObjCorner* corners) const;
    KString UniqueNodeName(const std::string& name);

    std::FILE* mStream = nullptr;
    KString mFileName;
    KNumberRenamingStrategy mRenaming;
    bool mMaterialLibraryFlag = false;
    bool mTextureFlag = false;
    bool mReferenceNodeFlag = false;

    std::map<std::string, ObjGroup, CaseLess> mGroups;
    std::map<std::string, MaterialEntry, CaseLess> mMaterials;
    // Look 0 has neither material nor texture.
    std::vector<ObjLook> mLooks;
    std::vector<MaterialLibrary> mMaterialLibraries;
    std::set<std::string> mMaterialLibraryPaths;

    std::vector<KFbxVector4> mVertices;
    std::vector<KFbxVector2> mTextureCoordinates;
    std::vector<KFbxVector4> mNormals;
    std::vector<KFbxVector4> mParameterVertices;

    // The state of the statements read so far.
    KFbxScene* mScene = nullptr;
    std::string mGroupName;
    ObjGroup* mCurrentGroup = nullptr;
    std::uint32_t mCurrentLook = 0;
    unsigned mSmoothingGroup = 0;
    int mCurveType = 0;
    bool mRational = false;
    int mDegreeU = 0;
    int mDegreeV = 0;

    Tally mWarnings[eWARNING_COUNT];
    std::set<std::string, std::less<>> mUnsupported;
    std::int64_t mMissingMaterials = 0;
    // Statements of the OBJ format read, comments apart, and comments and
    // other lines: a file without any is no OBJ file.
    std::int64_t mKnownStatements = 0;
    std::int64_t mSurfaces = 0;
    std::int64_t mComments = 0;
    std::int64_t mUnknownStatements = 0;
    // The layer index each look's material and texture got in the mesh being
    // built (-1 before), and the looks to clear after it.
    std::vector<int> mLookMaterialIndex;
    std::vector<int> mLookTextureIndex;
    std::vector<std::uint32_t> mLooksUsed;
    std::vector<std::string_view> mTokens;
};

}  // namespace fbxsdk_2006_11_1

#endif
