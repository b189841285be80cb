// The words FBX 6 files use for the forms of NURBS directions and curves and
// for the patch bases, in both directions: writers turn the stored numbers
// into words, readers turn the words back.
#ifndef FBXFILESDK_FBX_KFBXFBX6RECORDWORDS_H
#define FBXFILESDK_FBX_KFBXFBX6RECORDWORDS_H

namespace fbxsdk_2006_11_1 {

// A NURB or NURBS surface direction: 0 "Periodic", 1 "Closed", others "Open".
const char* KFbxNurbFormWord(int type);
// The inverse; -1 for an unknown word.
int KFbxNurbTypeOfFormWord(const char* word);

// A NURBS curve: 2 "Periodic", 1 "Closed", others "Open".
const char* KFbxCurveFormWord(int type);
int KFbxCurveTypeOfFormWord(const char* word);

// A patch basis: 0 "Bezier", 1 "BezierQuadric", 2 "Cardinal", 3 "BSpline",
// 4 "Linear"; null for any other value.
const char* KFbxPatchBasisWord(int basis);
int KFbxPatchBasisOfWord(const char* word);

}  // namespace fbxsdk_2006_11_1

#endif
