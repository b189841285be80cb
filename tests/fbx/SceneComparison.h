// Compares two scenes as a file round trip must keep them: the node tree with
// names, attributes and properties, mesh points, polygons and layers, the
// materials and textures of each node, skins with their clusters, shapes,
// poses, the curves of every take and the take records. Each difference is
// one line of text naming where it is, so a failed comparison says what was
// lost.
#ifndef TESTS_FBX_SCENECOMPARISON_H
#define TESTS_FBX_SCENECOMPARISON_H

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::scenecompare {

class SceneComparison {
public:
    // The differences of b from a; empty when they read the same.
    static std::vector<std::string> Compare(KFbxScene& a, KFbxScene& b) {
        SceneComparison comparison;
        comparison.CompareNodes(a.GetRootNode(), b.GetRootNode(), "root", true);
        comparison.CompareTakes(a, b);
        comparison.ComparePoses(a, b);
        comparison.CompareSceneInfo(a, b);
        return comparison.mDifferences;
    }

    static std::string Join(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) {
            text += line + "\n";
        }
        return text;
    }

private:
    template <class T>
    void Expect(bool same, const std::string& where, const T& a, const T& b) {
        if (!same) {
            std::ostringstream line;
            line << where << ": " << a << " vs " << b;
            mDifferences.push_back(line.str());
        }
    }
    void ExpectEq(const std::string& where, long long a, long long b) { Expect(a == b, where, a, b); }
    void ExpectText(const std::string& where, const char* a, const char* b) {
        Expect(std::string(a) == b, where, std::string(a), std::string(b));
    }
    void ExpectNear(const std::string& where, double a, double b, double tolerance) {
        Expect(std::fabs(a - b) <= tolerance, where, a, b);
    }
    void ExpectMatrix(const std::string& where, const KgeMatrix& a, const KgeMatrix& b, double tolerance) {
        for (int i = 0; i < 16; ++i) {
            ExpectNear(where + "[" + std::to_string(i) + "]", a[i / 4][i % 4], b[i / 4][i % 4], tolerance);
        }
    }

    // A node without attribute and one with a null attribute are stored alike.
    static bool IsPlainNull(const KFbxNodeAttribute* attribute) {
        return attribute == nullptr || attribute->GetAttributeType() == KFbxNodeAttribute::eNULL;
    }

    void CompareProperties(const KFbxObject& a, const KFbxObject& b, const std::string& where) {
        for (int i = 0; i < a.GetPropertyCount(); ++i) {
            const KFbxProperty property = a.GetPropertyAt(i);
            const KFbxProperty other = b.FindProperty(property.GetName());
            const std::string at = where + "." + property.GetName();
            if (!other.IsValid()) {
                mDifferences.push_back(at + ": missing");
                continue;
            }
            const EFbxValueType type = property.GetPropertyDataType().GetType();
            if (type == eFbxValueReference || type == eFbxValueStream || type == eFbxValueNone) {
                continue;
            }
            Expect(property.CompareValue(other), at, std::string("value"), std::string("other value"));
        }
    }

    void CompareNodes(KFbxNode* a, KFbxNode* b, const std::string& where, bool root) {
        if (a == nullptr || b == nullptr) {
            Expect(a == b, where, a != nullptr, b != nullptr);
            return;
        }
        if (!root) {
            ExpectText(where + " name", a->GetName(), b->GetName());
            CompareProperties(*a, *b, where);
            ExpectEq(where + " visibility", a->GetVisibility(), b->GetVisibility());
            ExpectEq(where + " shading", a->GetShading(), b->GetShading());
            ExpectEq(where + " multi-take", a->GetMultiTake(), b->GetMultiTake());
            CompareAttribute(a, b, where);
            CompareConnected(*a, *b, where);
            CompareNodeCurves(*a, *b, where);
        }
        ExpectEq(where + " child count", a->GetChildCount(), b->GetChildCount());
        for (int i = 0; i < a->GetChildCount() && i < b->GetChildCount(); ++i) {
            CompareNodes(a->GetChild(i), b->GetChild(i), where + "/" + a->GetChild(i)->GetName(), false);
        }
    }

    void CompareAttribute(KFbxNode* nodeA, KFbxNode* nodeB, const std::string& where) {
        KFbxNodeAttribute* a = nodeA->GetNodeAttribute();
        KFbxNodeAttribute* b = nodeB->GetNodeAttribute();
        if (IsPlainNull(a) && IsPlainNull(b)) {
            return;
        }
        if (a == nullptr || b == nullptr) {
            mDifferences.push_back(where + ": attribute on one side only");
            return;
        }
        ExpectEq(where + " attribute type", a->GetAttributeType(), b->GetAttributeType());
        ExpectText(where + " attribute type name", a->GetTypeName(), b->GetTypeName());
        CompareProperties(*a, *b, where + "@");
        auto* meshA = dynamic_cast<KFbxMesh*>(a);
        auto* meshB = dynamic_cast<KFbxMesh*>(b);
        if (meshA != nullptr && meshB != nullptr) {
            CompareMesh(*meshA, *meshB, where + "@mesh");
        }
    }

    void ComparePoints(const KFbxGeometryBase& a, const KFbxGeometryBase& b, const std::string& where) {
        ExpectEq(where + " control points", a.GetControlPointsCount(), b.GetControlPointsCount());
        for (int i = 0; i < a.GetControlPointsCount() && i < b.GetControlPointsCount(); ++i) {
            for (int c = 0; c < 3; ++c) {
                // Exactly: the file carries doubles.
                Expect(a.GetControlPoints()[i][c] == b.GetControlPoints()[i][c],
                       where + " point " + std::to_string(i), a.GetControlPoints()[i][c], b.GetControlPoints()[i][c]);
            }
        }
    }

    void CompareMesh(KFbxMesh& a, KFbxMesh& b, const std::string& where) {
        ComparePoints(a, b, where);
        ExpectEq(where + " polygons", a.GetPolygonCount(), b.GetPolygonCount());
        ExpectEq(where + " polygon vertices", a.GetPolygonVertexCount(), b.GetPolygonVertexCount());
        for (int p = 0; p < a.GetPolygonCount() && p < b.GetPolygonCount(); ++p) {
            ExpectEq(where + " polygon size " + std::to_string(p), a.GetPolygonSize(p), b.GetPolygonSize(p));
        }
        for (int i = 0; i < a.GetPolygonVertexCount() && i < b.GetPolygonVertexCount(); ++i) {
            ExpectEq(where + " polygon vertex " + std::to_string(i), a.GetPolygonVertices()[i], b.GetPolygonVertices()[i]);
        }
        ExpectEq(where + " edges", a.GetMeshEdgeCount(), b.GetMeshEdgeCount());
        ExpectEq(where + " layers", a.GetLayerCount(), b.GetLayerCount());
        for (int l = 0; l < a.GetLayerCount() && l < b.GetLayerCount(); ++l) {
            CompareLayer(*a.GetLayer(l), *b.GetLayer(l), where + " layer " + std::to_string(l));
        }
        ExpectEq(where + " shapes", a.GetShapeCount(), b.GetShapeCount());
        for (int s = 0; s < a.GetShapeCount() && s < b.GetShapeCount(); ++s) {
            ExpectText(where + " shape name", a.GetShapeName(s), b.GetShapeName(s));
            ComparePoints(*a.GetShape(s), *b.GetShape(s), where + " shape " + std::to_string(s));
        }
        ExpectEq(where + " skins", a.GetDeformerCount(KFbxDeformer::eSKIN), b.GetDeformerCount(KFbxDeformer::eSKIN));
        for (int d = 0; d < a.GetDeformerCount(KFbxDeformer::eSKIN) && d < b.GetDeformerCount(KFbxDeformer::eSKIN);
             ++d) {
            CompareSkin(*static_cast<KFbxSkin*>(a.GetDeformer(d, KFbxDeformer::eSKIN)),
                        *static_cast<KFbxSkin*>(b.GetDeformer(d, KFbxDeformer::eSKIN)), where + " skin");
        }
    }

    void CompareElementBase(const KFbxLayerElement* a, const KFbxLayerElement* b, const std::string& where,
                            bool rawIndices = true) {
        if (a == nullptr || b == nullptr) {
            Expect(a == b, where + " present", a != nullptr, b != nullptr);
            return;
        }
        ExpectText(where + " name", a->GetName(), b->GetName());
        ExpectEq(where + " mapping", a->GetMappingMode(), b->GetMappingMode());
        ExpectEq(where + " reference", a->GetReferenceMode(), b->GetReferenceMode());
        ExpectEq(where + " index count", a->GetIndexArray().GetCount(), b->GetIndexArray().GetCount());
        for (int i = 0; rawIndices && i < a->GetIndexArray().GetCount() && i < b->GetIndexArray().GetCount(); ++i) {
            ExpectEq(where + " index " + std::to_string(i), a->GetIndexArray().GetAt(i), b->GetIndexArray().GetAt(i));
        }
    }

    template <class Element, class Same>
    void CompareDirect(const Element* a, const Element* b, const std::string& where, Same same) {
        CompareElementBase(a, b, where);
        if (a == nullptr || b == nullptr) {
            return;
        }
        ExpectEq(where + " direct count", a->GetDirectArray().GetCount(), b->GetDirectArray().GetCount());
        for (int i = 0; i < a->GetDirectArray().GetCount() && i < b->GetDirectArray().GetCount(); ++i) {
            Expect(same(a->GetDirectArray().GetAt(i), b->GetDirectArray().GetAt(i)), where + " item " + std::to_string(i),
                   i, i);
        }
    }

    // Material and texture elements hold objects that a file stores as
    // connections, so their arrays may be laid out anew: what each index
    // resolves to must stay the same.
    template <class Element>
    void CompareResolved(const Element* a, const Element* b, const std::string& where) {
        CompareElementBase(a, b, where, false);
        if (a == nullptr || b == nullptr) {
            return;
        }
        auto resolve = [](const Element& element, int item) -> std::string {
            int index = item;
            if (element.GetReferenceMode() != KFbxLayerElement::eDIRECT) {
                index = element.GetIndexArray().GetAt(item);
            }
            const KFbxObject* object = element.GetDirectArray().GetAt(index);
            return object != nullptr ? object->GetName() : "(none)";
        };
        const int count = a->GetReferenceMode() == KFbxLayerElement::eDIRECT ? a->GetDirectArray().GetCount()
                                                                             : a->GetIndexArray().GetCount();
        for (int i = 0; i < count; ++i) {
            const std::string x = resolve(*a, i);
            const std::string y = resolve(*b, i);
            Expect(x == y, where + " item " + std::to_string(i), x, y);
        }
    }

    void CompareLayer(const KFbxLayer& a, const KFbxLayer& b, const std::string& where) {
        auto vector4 = [](const KFbxVector4& x, const KFbxVector4& y) {
            return x[0] == y[0] && x[1] == y[1] && x[2] == y[2];
        };
        auto vector2 = [](const KFbxVector2& x, const KFbxVector2& y) { return x[0] == y[0] && x[1] == y[1]; };
        auto color = [](const KFbxColor& x, const KFbxColor& y) {
            return x.mRed == y.mRed && x.mGreen == y.mGreen && x.mBlue == y.mBlue && x.mAlpha == y.mAlpha;
        };
        auto flag = [](bool x, bool y) { return x == y; };
        CompareDirect(a.GetNormals(), b.GetNormals(), where + " normals", vector4);
        CompareDirect(a.GetVertexColors(), b.GetVertexColors(), where + " colors", color);
        CompareElementBase(a.GetPolygonGroups(), b.GetPolygonGroups(), where + " polygon groups");
        CompareDirect(a.GetSmoothing(), b.GetSmoothing(), where + " smoothing", flag);
        CompareDirect(a.GetVisibility(), b.GetVisibility(), where + " visibility", flag);
        CompareResolved(a.GetMaterials(), b.GetMaterials(), where + " materials");
        for (int channel = KFbxLayerElement::eDIFFUSE_TEXTURES; channel < KFbxLayerElement::eLAST_ELEMENT_TYPE;
             ++channel) {
            if (!KFbxLayerElement::IsTextureChannel(channel)) {
                continue;
            }
            const std::string at = where + " channel " + std::to_string(channel);
            CompareDirect(a.GetUVs(channel), b.GetUVs(channel), at + " uvs", vector2);
            CompareResolved(a.GetTexturesOfChannel(channel), b.GetTexturesOfChannel(channel), at + " textures");
            if (a.GetTexturesOfChannel(channel) != nullptr && b.GetTexturesOfChannel(channel) != nullptr) {
                ExpectEq(at + " blend", a.GetTexturesOfChannel(channel)->GetBlendMode(),
                         b.GetTexturesOfChannel(channel)->GetBlendMode());
                ExpectNear(at + " alpha", a.GetTexturesOfChannel(channel)->GetAlpha(),
                           b.GetTexturesOfChannel(channel)->GetAlpha(), 0.0);
            }
        }
    }

    void CompareSkin(KFbxSkin& a, KFbxSkin& b, const std::string& where) {
        ExpectNear(where + " accuracy", a.GetDeformAccuracy(), b.GetDeformAccuracy(), 0.0);
        ExpectEq(where + " clusters", a.GetClusterCount(), b.GetClusterCount());
        for (int c = 0; c < a.GetClusterCount() && c < b.GetClusterCount(); ++c) {
            KFbxCluster& ca = *a.GetCluster(c);
            KFbxCluster& cb = *b.GetCluster(c);
            const std::string at = where + " cluster " + std::to_string(c);
            ExpectEq(at + " mode", ca.GetLinkMode(), cb.GetLinkMode());
            ExpectText(at + " link", ca.GetLink() != nullptr ? ca.GetLink()->GetName() : "",
                       cb.GetLink() != nullptr ? cb.GetLink()->GetName() : "");
            ExpectText(at + " associate", ca.GetAssociateModel() != nullptr ? ca.GetAssociateModel()->GetName() : "",
                       cb.GetAssociateModel() != nullptr ? cb.GetAssociateModel()->GetName() : "");
            ExpectText(at + " user data id", ca.GetUserDataID(), cb.GetUserDataID());
            ExpectText(at + " user data", ca.GetUserDataText(), cb.GetUserDataText());
            ExpectEq(at + " indices", ca.GetControlPointIndicesCount(), cb.GetControlPointIndicesCount());
            for (int i = 0; i < ca.GetControlPointIndicesCount() && i < cb.GetControlPointIndicesCount(); ++i) {
                ExpectEq(at + " index", ca.GetControlPointIndices()[i], cb.GetControlPointIndices()[i]);
                ExpectNear(at + " weight", ca.GetControlPointWeights()[i], cb.GetControlPointWeights()[i], 0.0);
            }
            KgeMatrix ma;
            KgeMatrix mb;
            ExpectMatrix(at + " transform", ca.GetTransformMatrix(ma), cb.GetTransformMatrix(mb), 1e-9);
            ExpectMatrix(at + " link matrix", ca.GetTransformLinkMatrix(ma), cb.GetTransformLinkMatrix(mb), 1e-9);
            if (ca.GetAssociateModel() != nullptr) {
                ExpectMatrix(at + " associate matrix", ca.GetTransformAssociateModelMatrix(ma),
                             cb.GetTransformAssociateModelMatrix(mb), 1e-9);
            }
        }
    }

    // The materials and textures a node uses, in connection order.
    void CompareConnected(KFbxNode& a, KFbxNode& b, const std::string& where) {
        for (const KFbxClassId& classId : {KFbxSurfaceMaterial::ClassId, KFbxTexture::ClassId}) {
            ExpectEq(where + " connected count", a.GetSrcObjectCount(classId), b.GetSrcObjectCount(classId));
            for (int i = 0; i < a.GetSrcObjectCount(classId) && i < b.GetSrcObjectCount(classId); ++i) {
                KFbxObject* x = a.GetSrcObject(classId, i);
                KFbxObject* y = b.GetSrcObject(classId, i);
                ExpectText(where + " connected", x->GetName(), y->GetName());
                ExpectText(where + " connected class", x->GetClassId().GetName(), y->GetClassId().GetName());
                CompareProperties(*x, *y, where + " " + x->GetName());
                auto* tx = dynamic_cast<KFbxTexture*>(x);
                auto* ty = dynamic_cast<KFbxTexture*>(y);
                if (tx != nullptr && ty != nullptr) {
                    ExpectText(where + " texture file", tx->GetFileName(), ty->GetFileName());
                }
            }
        }
    }

    void CompareCurveNodes(KFCurveNode* a, KFCurveNode* b, const std::string& where) {
        if (a == nullptr || b == nullptr) {
            return;
        }
        KFCurve* ca = a->FCurveGet();
        KFCurve* cb = b->FCurveGet();
        if (ca != nullptr && cb != nullptr) {
            ExpectEq(where + " keys", ca->KeyGetCount(), cb->KeyGetCount());
            for (int k = 0; k < ca->KeyGetCount() && k < cb->KeyGetCount(); ++k) {
                const std::string at = where + " key " + std::to_string(k);
                ExpectEq(at + " time", ca->KeyGetTime(k).Get(), cb->KeyGetTime(k).Get());
                ExpectNear(at + " value", ca->KeyGetValue(k), cb->KeyGetValue(k), 0.0);
                ExpectEq(at + " interpolation", ca->KeyGetInterpolation(k), cb->KeyGetInterpolation(k));
                // Only cubic keys have tangents worth keeping.
                if (ca->KeyGetInterpolation(k) == KFCURVE_INTERPOLATION_CUBIC) {
                    ExpectEq(at + " tangent", ca->KeyGetTangentMode(k), cb->KeyGetTangentMode(k));
                }
            }
        }
        for (int i = 0; i < a->GetCount(); ++i) {
            KFCurveNode* child = a->Get(i);
            KFCurveNode* other = nullptr;
            for (int j = 0; j < b->GetCount() && other == nullptr; ++j) {
                if (std::string(b->Get(j)->GetName()) == child->GetName()) {
                    other = b->Get(j);
                }
            }
            if (other == nullptr) {
                // A channel without keys may be left out of a file.
                if (child->FCurveGet() != nullptr && child->FCurveGet()->KeyGetCount() > 0) {
                    mDifferences.push_back(where + "/" + child->GetName() + ": missing channel");
                }
                continue;
            }
            CompareCurveNodes(child, other, where + "/" + child->GetName());
        }
    }

    void CompareNodeCurves(KFbxNode& a, KFbxNode& b, const std::string& where) {
        for (int t = 0; t < a.GetTakeNodeCount(); ++t) {
            const std::string name = a.GetTakeNodeName(t);
            if (name == "Default") {
                continue;
            }
            KFbxTakeNode* other = nullptr;
            for (int u = 0; u < b.GetTakeNodeCount(); ++u) {
                if (name == b.GetTakeNodeName(u)) {
                    other = b.GetTakeNode(u);
                }
            }
            if (other == nullptr) {
                mDifferences.push_back(where + " take " + name + ": missing");
                continue;
            }
            CompareCurveNodes(a.GetTakeNode(t)->GetKFCurveNode(), other->GetKFCurveNode(), where + " take " + name);
        }
    }

    void CompareTakes(KFbxScene& a, KFbxScene& b) {
        ExpectText("current take", a.GetCurrentTakeName(), b.GetCurrentTakeName());
        for (int i = 0; i < a.GetTakeInfoCount(); ++i) {
            const KFbxTakeInfo* take = a.GetTakeInfoAt(i);
            const KFbxTakeInfo* other = b.GetTakeInfo(take->mName);
            const std::string at = std::string("take info ") + take->mName.Buffer();
            if (other == nullptr) {
                mDifferences.push_back(at + ": missing");
                continue;
            }
            ExpectEq(at + " local start", take->mLocalTimeSpan.GetStart().Get(), other->mLocalTimeSpan.GetStart().Get());
            ExpectEq(at + " local stop", take->mLocalTimeSpan.GetStop().Get(), other->mLocalTimeSpan.GetStop().Get());
            ExpectEq(at + " reference start", take->mReferenceTimeSpan.GetStart().Get(),
                     other->mReferenceTimeSpan.GetStart().Get());
            ExpectEq(at + " reference stop", take->mReferenceTimeSpan.GetStop().Get(),
                     other->mReferenceTimeSpan.GetStop().Get());
            ExpectText(at + " description", take->mDescription.Buffer(), other->mDescription.Buffer());
        }
    }

    void ComparePoses(KFbxScene& a, KFbxScene& b) {
        ExpectEq("poses", a.GetPoseCount(), b.GetPoseCount());
        for (int p = 0; p < a.GetPoseCount() && p < b.GetPoseCount(); ++p) {
            KFbxPose& pa = *a.GetPose(p);
            KFbxPose& pb = *b.GetPose(p);
            const std::string at = std::string("pose ") + pa.GetName();
            ExpectText(at + " name", pa.GetName(), pb.GetName());
            ExpectEq(at + " bind", pa.IsBindPose(), pb.IsBindPose());
            ExpectEq(at + " entries", pa.GetCount(), pb.GetCount());
            for (int i = 0; i < pa.GetCount() && i < pb.GetCount(); ++i) {
                ExpectText(at + " node", pa.GetNode(i) != nullptr ? pa.GetNode(i)->GetName() : "",
                           pb.GetNode(i) != nullptr ? pb.GetNode(i)->GetName() : "");
                ExpectMatrix(at + " matrix", pa.GetMatrix(i), pb.GetMatrix(i), 0.0);
                ExpectEq(at + " local", pa.IsLocalMatrix(i), pb.IsLocalMatrix(i));
            }
        }
    }

    void CompareSceneInfo(KFbxScene& a, KFbxScene& b) {
        const KFbxSceneInfo* x = a.GetSceneInfo();
        const KFbxSceneInfo* y = b.GetSceneInfo();
        if (x == nullptr || y == nullptr) {
            Expect(x == y, "scene info present", x != nullptr, y != nullptr);
            return;
        }
        ExpectText("scene title", x->mTitle.Buffer(), y->mTitle.Buffer());
        ExpectText("scene author", x->mAuthor.Buffer(), y->mAuthor.Buffer());
        ExpectText("scene comment", x->mComment.Buffer(), y->mComment.Buffer());
    }

    std::vector<std::string> mDifferences;
};

}  // namespace fbxsdk_2006_11_1::scenecompare

#endif
