#include <fbxfilesdk/formats/KFbxReaderObj.h>

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/ObjNumbers.h>
#include <fbxfilesdk/formats/ObjStatementReader.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <platform/os/File.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <new>
#include <strings.h>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr const char* kDefaultGroupName = "default";
// Distinct unsupported keywords told one by one; the rest are counted.
constexpr std::size_t kMaxUnsupportedKeywords = 64;
// Material names no library defines told one by one; the rest are counted.
constexpr std::int64_t kMaxMissingMaterials = 64;

// The curve and surface types of "cstype".
struct CurveTypeWord {
    const char* mWord;
    int mType;
};
constexpr CurveTypeWord kCurveTypes[] = {
    {"bmatrix", 1}, {"bezier", 2}, {"bspline", 3}, {"cardinal", 4}, {"taylor", 5}};

void AppendNumber(KString& text, std::int64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    text += KString(digits, static_cast<int>(end - digits));
}

void AppendText(KString& text, std::string_view part) { text += KString(part.data(), static_cast<int>(part.size())); }

}  // namespace

int ObjIndexToZeroBased(int index, int count) {
    if (index < 0 && -static_cast<std::int64_t>(index) <= count) return count + index;
    if (index >= 1 && index <= count) return index - 1;
    return -1;
}

void ObjGroup::AddFace(const ObjFace& face, ObjFaceList& list) {
    list.mFaces.push_back(face);
    mAllHaveNormals = mAllHaveNormals && face.mHasNormals;
    mAllHaveUVs = mAllHaveUVs && face.mHasUVs;
    mSomeHasTexture = mSomeHasTexture || face.mHasTexture;
    mAllHaveTextures = mAllHaveTextures && face.mHasTexture;
    ++mFaceCount;
}

bool KFbxReaderObj::CaseLess::operator()(const std::string& a, const std::string& b) const {
    const std::size_t common = std::min(a.size(), b.size());
    const int order = strncasecmp(a.c_str(), b.c_str(), common);
    return order != 0 ? order < 0 : a.size() < b.size();
}

KFbxReaderObj::KFbxReaderObj(KFbxSdkManager& manager, KFbxIO* /*io*/) : KFbxReader(manager) {}

KFbxReaderObj::~KFbxReaderObj() {
    FileClose();
    CloseMaterialLibraries();
}

bool KFbxReaderObj::FileOpen(const char* fileName) {
    FileClose();
    if (fileName == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    // A FIFO or a device would block the read or never end.
    mStream = qalimor::os::OpenRegularFile(fileName);
    if (mStream == nullptr) {
        const std::string text = std::string(fileName) + ": " + qalimor::os::OpenFailureText(errno);
        mError.SetErrorWithText(eFILE_NOT_OPENED, text.c_str());
        return false;
    }
    mFileName = fileName;
    return true;
}

bool KFbxReaderObj::OpensRegularFilesOnly() const { return true; }

bool KFbxReaderObj::FileClose() {
    bool closed = true;
    if (mStream != nullptr) {
        closed = std::fclose(mStream) == 0;
        mStream = nullptr;
    }
    mFileName = "";
    return closed;
}

bool KFbxReaderObj::IsFileOpen() { return mStream != nullptr; }

KFbxStreamOptions* KFbxReaderObj::GetReadOptions() {
    KFbxStreamOptions* options = KFbxStreamOptionsObjReader::Create(&mManager, "");
    if (options == nullptr) mError.SetError(eOUT_OF_MEMORY);
    return options;
}

void KFbxReaderObj::ResetReadState() {
    mRenaming.Clear();
    mMaterialLibraryFlag = false;
    mTextureFlag = false;
    mGroups.clear();
    mMaterials.clear();
    mVertices.clear();
    mTextureCoordinates.clear();
    mNormals.clear();
    mParameterVertices.clear();
    mGroupName = kDefaultGroupName;
    mCurrentGroup = nullptr;
    mLooks.assign(1, ObjLook());
    mCurrentLook = 0;
    mSmoothingGroup = 0;
    mCurveType = 0;
    mRational = false;
    mDegreeU = 0;
    mDegreeV = 0;
    for (Tally& tally : mWarnings) tally = Tally();
    mUnsupported.clear();
    mMissingMaterials = 0;
    mKnownStatements = mComments = mUnknownStatements = mSurfaces = 0;
    mLookMaterialIndex.clear();
    mLookTextureIndex.clear();
    mLooksUsed.clear();
}

bool KFbxReaderObj::Read(KFbxScene* scene, KFbxStreamOptions* options) {
    if (options == nullptr || !options->Is(KFbxStreamOptionsObjReader::ClassId)) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return false;
    }
    if (mStream == nullptr || scene == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    mReferenceNodeFlag = options->GetBoolOption("REFERENCENODE", false);
    ClearMessage();
    ResetReadState();
    mScene = scene;

    const std::uint64_t failuresBefore = SdkAllocationFailureCount();
    bool read = false;
    bool outOfMemory = false;
    try {
        read = ReadScene(*scene);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    // The lists serve one read only.
    ResetReadState();
    CloseMaterialLibraries();
    mScene = nullptr;
    if (outOfMemory || SdkAllocationFailureCount() != failuresBefore) {
        mError.SetError(eOUT_OF_MEMORY);
        return false;
    }
    return read;
}

bool KFbxReaderObj::ReadScene(KFbxScene& scene) {
    ObjStatementReader statements(mStream, true);
    bool read = Parse(statements);
    if (read && statements.TooLong()) {
        read = Fail("A line is longer than 16 MB", statements.Line() + 1);
    } else if (read && statements.Failed()) {
        read = Fail("The file could not be read to its end", 0);
    } else if (read && !DefinesAnything() && (mUnknownStatements > 0 || mKnownStatements + mComments == 0)) {
        // Comments alone are an OBJ file of an empty scene; text, pictures
        // or bytes in which a line may look like a statement are none.
        mError.SetErrorWithText(eFILE_CORRUPTED, "Not an OBJ file: it holds no OBJ statement");
        read = false;
    }
    CloseMaterialLibraries();
    ReportWarnings();
    if (read) {
        read = BuildScene(scene);
        if (!read) mError.SetError(eOUT_OF_MEMORY);
    }
    return read;
}

bool KFbxReaderObj::Fail(const char* what, std::int64_t line) {
    KString text(what);
    if (line > 0) {
        text += " on line ";
        AppendNumber(text, line);
    }
    mMessage += text;
    mMessage += "\n";
    mError.SetErrorWithText(eFILE_CORRUPTED, text.Buffer());
    return false;
}

bool KFbxReaderObj::DefinesAnything() const {
    return !mVertices.empty() || !mTextureCoordinates.empty() || !mNormals.empty() || !mParameterVertices.empty() ||
           mSurfaces > 0 ||
           std::any_of(mGroups.begin(), mGroups.end(), [](const auto& group) { return group.second.mFaceCount > 0; });
}

void KFbxReaderObj::Warn(EWarning warning, std::int64_t line) {
    Tally& tally = mWarnings[warning];
    if (tally.mCount++ == 0) tally.mFirstLine = line;
}

void KFbxReaderObj::ReportWarnings() {
    static const char* const kTexts[eWARNING_COUNT] = {
        "face(s) with fewer than three usable corners dropped",
        "face(s) with an unreadable corner dropped",
        "face corner(s) naming a vertex that does not exist dropped",
        "texture coordinate number(s) that do not exist ignored",
        "normal number(s) that do not exist ignored",
        "number(s) that are not finite read as 0",
        "surface(s) with inconsistent counts or no \"end\" skipped",
    };
    for (int warning = 0; warning < eWARNING_COUNT; ++warning) {
        const Tally& tally = mWarnings[warning];
        if (tally.mCount == 0) continue;
        AppendNumber(mMessage, tally.mCount);
        mMessage += " ";
        mMessage += kTexts[warning];
        mMessage += " (first on line ";
        AppendNumber(mMessage, tally.mFirstLine);
        mMessage += ")\n";
    }
    if (mMissingMaterials > kMaxMissingMaterials) {
        AppendNumber(mMessage, mMissingMaterials - kMaxMissingMaterials);
        mMessage += " more material name(s) found in no library\n";
    }
}

void KFbxReaderObj::ReportMissingMaterial(std::string_view name) {
    if (++mMissingMaterials > kMaxMissingMaterials) return;
    mMessage += "Unable to read material \"";
    AppendText(mMessage, name);
    mMessage += "\" in .mtl file\n";
}

void KFbxReaderObj::ReportMissingLibrary(std::string_view name, const std::string& reason) {
    if (!KeepWarning()) return;
    mMessage += "Unable to load material library \"";
    AppendText(mMessage, name);
    mMessage += "\" (";
    AppendText(mMessage, reason);
    mMessage += ")\n";
}

void KFbxReaderObj::ReportUnsupported(std::string_view keyword) {
    ++mUnknownStatements;
    if (mUnsupported.size() >= kMaxUnsupportedKeywords || mUnsupported.find(keyword) != mUnsupported.end()) {
        return;
    }
    mUnsupported.emplace(keyword);
    mMessage += "Object not supported : ";
    AppendText(mMessage, keyword);
    mMessage += "\n";
}

bool KFbxReaderObj::Parse(ObjStatementReader& statements) {
    ObjStatement statement;
    while (statements.Next(statement)) {
        const std::string_view keyword = statement.mKeyword;
        const std::string_view rest = statement.mRest;
        if (keyword.front() == '#') {
            ++mComments;
            continue;
        }
        ++mKnownStatements;
        if (keyword == "v") {
            if (!ReadVertex(statement)) return Fail("A vertex needs three numbers", statement.mLine);
        } else if (keyword == "vt") {
            if (!ReadTextureCoordinate(statement)) {
                return Fail("A texture coordinate needs a number", statement.mLine);
            }
        } else if (keyword == "vn") {
            if (!ReadNormal(statement)) return Fail("A normal needs three numbers", statement.mLine);
        } else if (keyword == "f") {
            ReadFace(statement);
        } else if (keyword == "vp") {
            if (!ReadParameterVertex(statement)) {
                return Fail("A parameter vertex needs a number", statement.mLine);
            }
        } else if (keyword == "g") {
            SetGroupName(rest);
        } else if (keyword == "usemtl") {
            UseMaterial(ObjFirstWord(rest));
        } else if (keyword == "mtllib") {
            mMaterialLibraryFlag = true;
            if (ObjTrim(rest).empty()) mMessage += "Unable to load material library\n";
            OpenMaterialLibraries(rest);
        } else if (keyword == "s") {
            SetSmoothingGroup(rest);
        } else if (keyword == "mg" || keyword == "o" || keyword == "bmat") {
            // Merging groups, object names and basis matrices change nothing here.
        } else if (keyword == "cstype") {
            SetCurveType(rest);
        } else if (keyword == "deg") {
            ObjSplit(rest, mTokens);
            if (!mTokens.empty() && ObjReadInt(mTokens[0], mDegreeU) && mTokens.size() > 1) {
                ObjReadInt(mTokens[1], mDegreeV);
            }
        } else if (keyword == "step") {
            // Read and not used.
        } else if (keyword == "curv" || keyword == "curv2") {
            SkipBlock(statements);
        } else if (keyword == "surf") {
            if (mCurveType == 0) return Fail("A surface needs a \"cstype\" before it", statement.mLine);
            ++mSurfaces;
            if (!ReadSurfaceBlock(statements, statement)) return false;
        } else {
            --mKnownStatements;
            ReportUnsupported(keyword);
        }
    }
    return true;
}

bool KFbxReaderObj::ReadVertex(const ObjStatement& statement) {
    double values[4] = {0.0, 0.0, 0.0, 1.0};
    bool notFinite = false;
    const int read = ObjReadDoubles(statement.mRest, values, 4, notFinite);
    if (read < 3) return false;
    if (notFinite) Warn(eNOT_FINITE, statement.mLine);
    mVertices.emplace_back(values[0], values[1], values[2], read == 4 ? values[3] : 1.0);
    return true;
}

bool KFbxReaderObj::ReadNormal(const ObjStatement& statement) {
    double values[3] = {0.0, 0.0, 0.0};
    bool notFinite = false;
    if (ObjReadDoubles(statement.mRest, values, 3, notFinite) < 3) return false;
    if (notFinite) Warn(eNOT_FINITE, statement.mLine);
    mNormals.emplace_back(values[0], values[1], values[2], 0.0);
    return true;
}

bool KFbxReaderObj::ReadTextureCoordinate(const ObjStatement& statement) {
    double values[3] = {0.0, 0.0, 0.0};
    bool notFinite = false;
    if (ObjReadDoubles(statement.mRest, values, 3, notFinite) < 1) return false;
    if (notFinite) Warn(eNOT_FINITE, statement.mLine);
    mTextureCoordinates.emplace_back(values[0], values[1]);
    return true;
}

bool KFbxReaderObj::ReadParameterVertex(const ObjStatement& statement) {
    double values[3] = {0.0, 0.0, 1.0};
    bool notFinite = false;
    if (ObjReadDoubles(statement.mRest, values, 3, notFinite) < 1) return false;
    if (notFinite) Warn(eNOT_FINITE, statement.mLine);
    mParameterVertices.emplace_back(values[0], values[1], values[2], 0.0);
    return true;
}

bool KFbxReaderObj::ParseFaceVertex(std::string_view token, int& vertex, int& uv, int& normal) {
    // Fields between '/' separators; empty fields do not count, so "1//3"
    // has two, and the double separator says the second is the normal.
    std::string_view fields[3];
    int count = 0;
    std::size_t at = 0;
    while (at < token.size() && count < 3) {
        while (at < token.size() && token[at] == '/') ++at;
        const std::size_t begin = at;
        while (at < token.size() && token[at] != '/') ++at;
        if (at > begin) fields[count++] = token.substr(begin, at - begin);
    }
    vertex = uv = normal = 0;
    if (count > 0 && !ObjReadInt(fields[0], vertex)) vertex = 0;
    if (token.find("//") != std::string_view::npos) {
        if (count > 1 && !ObjReadInt(fields[1], normal)) normal = 0;
    } else {
        if (count > 1 && !ObjReadInt(fields[1], uv)) uv = 0;
        if (count > 2 && !ObjReadInt(fields[2], normal)) normal = 0;
    }
    return vertex != 0;
}

void KFbxReaderObj::ReadFace(const ObjStatement& statement) {
    if (mCurrentGroup == nullptr) mCurrentGroup = &mGroups[mGroupName];
    ObjGroup& group = *mCurrentGroup;
    // The corners are read as the line is walked: a face of millions of
    // corners keeps no list of its tokens.
    const std::string_view rest = statement.mRest;
    std::size_t at = 0;
    std::size_t tokenCount = 0;
    for (std::size_t probe = 0; tokenCount < 3 && !ObjNextToken(rest, probe).empty();) ++tokenCount;
    if (tokenCount < 3) {
        Warn(eSHORT_FACE, statement.mLine);
        return;
    }
    ObjFaceList& list = group.mFacesBySmoothingGroup[mSmoothingGroup];
    ObjFace face;
    const std::size_t firstCorner = list.mCorners.size();
    face.mLook = mCurrentLook;
    face.mHasTexture = mLooks[mCurrentLook].mTexture != nullptr;
    const int vertexCount = static_cast<int>(mVertices.size());
    const int uvCount = static_cast<int>(mTextureCoordinates.size());
    const int normalCount = static_cast<int>(mNormals.size());
    bool someUV = false;
    for (std::string_view token; !(token = ObjNextToken(rest, at)).empty();) {
        int vertex = 0, uv = 0, normal = 0;
        if (!ParseFaceVertex(token, vertex, uv, normal)) {
            list.mCorners.resize(firstCorner);
            Warn(eBAD_CORNER, statement.mLine);
            return;
        }
        ObjCorner corner;
        corner.mVertex = ObjIndexToZeroBased(vertex, vertexCount);
        if (corner.mVertex < 0) {
            Warn(eVERTEX_OUT_OF_RANGE, statement.mLine);
            continue;
        }
        corner.mUV = ObjIndexToZeroBased(uv, uvCount);
        if (uv != 0 && corner.mUV < 0) Warn(eUV_OUT_OF_RANGE, statement.mLine);
        corner.mNormal = ObjIndexToZeroBased(normal, normalCount);
        if (normal != 0 && corner.mNormal < 0) Warn(eNORMAL_OUT_OF_RANGE, statement.mLine);
        face.mHasUVs = face.mHasUVs && corner.mUV >= 0;
        face.mHasNormals = face.mHasNormals && corner.mNormal >= 0;
        someUV = someUV || corner.mUV >= 0;
        list.mCorners.push_back(corner);
    }
    face.mCornerCount = static_cast<std::uint32_t>(list.mCorners.size() - firstCorner);
    if (face.mCornerCount < 3) {
        // A face needs three corners for a plane and a normal.
        list.mCorners.resize(firstCorner);
        Warn(eSHORT_FACE, statement.mLine);
        return;
    }
    group.mSomeHasUVs = group.mSomeHasUVs || someUV;
    group.AddFace(face, list);
}

void KFbxReaderObj::UseMaterial(std::string_view name) {
    if (name.empty()) return;
    const std::string key(name);
    const auto found = mMaterials.find(key);
    if (found != mMaterials.end()) {
        mCurrentLook = found->second.mLook;
        return;
    }
    ObjLook look;
    // A name no library defines leaves its own faces without a material;
    // the faces of the other names keep theirs.
    if (!ReadMaterial(name, look.mMaterial, look.mTexture)) ReportMissingMaterial(name);
    // What the file defines belongs to the scene it is read into.
    if (look.mMaterial != nullptr) mScene->ConnectObject(look.mMaterial);
    if (look.mTexture != nullptr) {
        mScene->ConnectObject(look.mTexture);
        mTextureFlag = true;
    }
    mCurrentLook = static_cast<std::uint32_t>(mLooks.size());
    mLooks.push_back(look);
    mMaterials.emplace(key, MaterialEntry{mCurrentLook});
}

void KFbxReaderObj::SetGroupName(std::string_view line) {
    if (line.empty()) {
        mGroupName = kDefaultGroupName;
    } else {
        mGroupName.assign(line);
        const std::size_t blank = mGroupName.find(' ');
        if (blank != std::string::npos) mGroupName[blank] = '_';
    }
    mCurrentGroup = nullptr;
}

void KFbxReaderObj::SetSmoothingGroup(std::string_view line) {
    int number = 0;
    if (ObjReadInt(line, number)) {
        mSmoothingGroup = static_cast<unsigned>(number);
    } else if (ObjFirstWord(line) == "off") {
        mSmoothingGroup = 0;
    }
}

void KFbxReaderObj::SetCurveType(std::string_view line) {
    std::vector<std::string_view>& tokens = mTokens;
    ObjSplit(line, tokens);
    std::string_view word = tokens.empty() ? std::string_view() : tokens[0];
    if (word.size() > ObjStatementReader::kMaxKeyword) word = word.substr(0, ObjStatementReader::kMaxKeyword);
    if (word == "rat") {
        mRational = true;
        word = tokens.size() > 1 ? tokens[1] : std::string_view();
    }
    for (const CurveTypeWord& type : kCurveTypes) {
        if (word == type.mWord) mCurveType = type.mType;
    }
}

}  // namespace fbxsdk_2006_11_1
