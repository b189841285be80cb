#include <fbxfilesdk/fbx/KFbxFbx6RecordWords.h>

#include <cstring>
#include <iterator>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kPatchBases[] = {"Bezier", "BezierQuadric", "Cardinal", "BSpline", "Linear"};

bool Same(const char* a, const char* b) { return a != nullptr && std::strcmp(a, b) == 0; }

}  // namespace

const char* KFbxNurbFormWord(int type) {
    return type == 0 ? "Periodic" : type == 1 ? "Closed" : "Open";
}

int KFbxNurbTypeOfFormWord(const char* word) {
    return Same(word, "Periodic") ? 0 : Same(word, "Closed") ? 1 : Same(word, "Open") ? 2 : -1;
}

const char* KFbxCurveFormWord(int type) {
    return type == 2 ? "Periodic" : type == 1 ? "Closed" : "Open";
}

int KFbxCurveTypeOfFormWord(const char* word) {
    return Same(word, "Periodic") ? 2 : Same(word, "Closed") ? 1 : Same(word, "Open") ? 0 : -1;
}

const char* KFbxPatchBasisWord(int basis) {
    return basis >= 0 && basis < static_cast<int>(std::size(kPatchBases)) ? kPatchBases[basis] : nullptr;
}

int KFbxPatchBasisOfWord(const char* word) {
    for (int basis = 0; basis < static_cast<int>(std::size(kPatchBases)); ++basis) {
        if (Same(word, kPatchBases[basis])) {
            return basis;
        }
    }
    return -1;
}

}  // namespace fbxsdk_2006_11_1
