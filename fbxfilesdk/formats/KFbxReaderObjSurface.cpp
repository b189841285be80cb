// Free-form elements of the OBJ reader: "curv" and "curv2" blocks are
// skipped; a rational B-spline "surf" block becomes a NURBS surface.
#include <fbxfilesdk/formats/KFbxReaderObj.h>

#include <fbxfilesdk/formats/ObjNumbers.h>
#include <fbxfilesdk/formats/ObjStatementReader.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <limits>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kBspline = 3;

// Control vertex i of a grid stored with u fastest, in a surface whose U
// runs along the file's v.
int TransposeGridIndex(int i, int nu, int nv) { return (i % nu) * nv + i / nu; }

}  // namespace

void KFbxReaderObj::SkipBlock(ObjStatementReader& statements) {
    ObjStatement statement;
    while (statements.Next(statement) && statement.mKeyword != "end") {
    }
}

bool KFbxReaderObj::ReadSurfaceBlock(ObjStatementReader& statements, const ObjStatement& statement) {
    ObjSurface surface;
    surface.mType = mCurveType;
    surface.mRational = mRational;
    surface.mDegreeU = mDegreeU;
    surface.mDegreeV = mDegreeV;
    surface.mMaterial = mLooks[mCurrentLook].mMaterial;
    surface.mTexture = mLooks[mCurrentLook].mTexture;
    if (!ReadSurf(surface, statement.mRest)) {
        Warn(eBAD_SURFACE, statement.mLine);
        SkipBlock(statements);
        return true;
    }
    ObjStatement inner;
    bool ended = false;
    while (!ended && statements.Next(inner)) {
        if (inner.mKeyword == "end") {
            ended = true;
        } else if (inner.mKeyword == "parm") {
            ReadParm(surface, inner.mRest);
        }
    }
    if (!ended) {
        // Cut short: what the block would have held is unknown.
        Warn(eBAD_SURFACE, statement.mLine);
        return true;
    }
    KFbxNurb* nurb = CreateNurb(surface, statement.mLine);
    if (nurb == nullptr) return true;
    KFbxNode* node = KFbxNode::Create(&mManager, UniqueNodeName(mGroupName).Buffer());
    if (node == nullptr) {
        nurb->Destroy();
        return Fail("A node could not be made", statement.mLine);
    }
    node->SetNodeAttribute(nurb);
    mScene->GetRootNode()->AddChild(node);
    return true;
}

bool KFbxReaderObj::ReadSurf(ObjSurface& surface, std::string_view line) {
    ObjSplit(line, mTokens);
    if (mTokens.size() < 4) return false;
    double range[4] = {0.0, 0.0, 0.0, 0.0};
    bool notFinite = false;
    ObjReadDoubles(line, range, 4, notFinite);
    surface.mS0 = range[0];
    surface.mS1 = range[1];
    surface.mT0 = range[2];
    surface.mT1 = range[3];
    const int vertexCount = static_cast<int>(mVertices.size());
    for (std::size_t token = 4; token < mTokens.size(); ++token) {
        int vertex = 0, uv = 0, normal = 0;
        if (!ParseFaceVertex(mTokens[token], vertex, uv, normal)) return false;
        const int index = ObjIndexToZeroBased(vertex, vertexCount);
        if (index >= 0) surface.mControlVertices.push_back(index);
    }
    return true;
}

bool KFbxReaderObj::ReadParm(ObjSurface& surface, std::string_view line) {
    std::vector<std::string_view> tokens;
    ObjSplit(line, tokens);
    if (tokens.size() < 2) return false;
    std::vector<double>* values = nullptr;
    if (tokens[0].front() == 'u') values = &surface.mParmU;
    if (tokens[0].front() == 'v') values = &surface.mParmV;
    for (std::size_t token = 1; values != nullptr && token < tokens.size(); ++token) {
        std::string_view text = tokens[token];
        double value = 0.0;
        if (ObjReadDouble(text, value) == ObjNumber::eNone) break;
        values->push_back(value);
    }
    return true;
}

KFbxNurb* KFbxReaderObj::CreateNurb(const ObjSurface& surface, std::int64_t line) {
    if (surface.mType != kBspline || !surface.mRational) return nullptr;
    const long long nu = static_cast<long long>(surface.mParmU.size()) - surface.mDegreeU - 1;
    const long long nv = static_cast<long long>(surface.mParmV.size()) - surface.mDegreeV - 1;
    // The grid must be the control vertices given, and the knots must be
    // what the grid and the degrees need.
    if (surface.mDegreeU < 1 || surface.mDegreeV < 1 || nu < 1 || nv < 1 || nu > std::numeric_limits<int>::max() ||
        nv > std::numeric_limits<int>::max() ||
        nu * nv != static_cast<long long>(surface.mControlVertices.size())) {
        Warn(eBAD_SURFACE, line);
        return nullptr;
    }
    KFbxNurb* nurb = KFbxNurb::Create(&mManager, "");
    if (nurb == nullptr) return nullptr;
    const int countU = static_cast<int>(nv);
    const int countV = static_cast<int>(nu);
    if (!nurb->SetOrder(surface.mDegreeV + 1, surface.mDegreeU + 1) ||
        !nurb->InitControlPoints(countU, KFbxNurb::eOPEN, countV, KFbxNurb::eOPEN) ||
        nurb->GetUKnotCount() != static_cast<int>(surface.mParmV.size()) ||
        nurb->GetVKnotCount() != static_cast<int>(surface.mParmU.size())) {
        nurb->Destroy();
        Warn(eBAD_SURFACE, line);
        return nullptr;
    }
    nurb->SetStep(3, 3);
    double* uKnots = nurb->GetUKnotVector();
    double* vKnots = nurb->GetVKnotVector();
    for (std::size_t k = 0; k < surface.mParmV.size(); ++k) uKnots[k] = surface.mParmV[k];
    for (std::size_t k = 0; k < surface.mParmU.size(); ++k) vKnots[k] = surface.mParmU[k];
    KFbxVector4* points = nurb->GetControlPoints();
    for (std::size_t i = 0; i < surface.mControlVertices.size(); ++i) {
        const int at = TransposeGridIndex(static_cast<int>(i), countV, countU);
        points[at] = mVertices[static_cast<std::size_t>(surface.mControlVertices[i])];
    }
    if (surface.mMaterial != nullptr) nurb->AddMaterial(surface.mMaterial);
    if (surface.mTexture != nullptr) {
        surface.mTexture->SetSwapUV(true);
        nurb->AddTexture(surface.mTexture, 0, KFbxLayerElement::eDIFFUSE_TEXTURES);
    }
    return nurb;
}

}  // namespace fbxsdk_2006_11_1
