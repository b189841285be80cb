// An array of 4x4 matrices: the matrix sources of COLLADA documents (inverse
// bind matrices, sampled transforms). Items are stored as their sixteen
// doubles. Add keeps what a KgeMatrix copy keeps (the affine part, the last
// column 0, 0, 0, 1); AddXMatrix keeps all sixteen values.
#ifndef FBXFILESDK_COLLADA_KGEMATRIXARRAY_H
#define FBXFILESDK_COLLADA_KGEMATRIXARRAY_H

#include <fbxfilesdk/core/KgeMatrix.h>

#include <array>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KgeMatrixArray {
public:
    // Each returns the new item's index.
    int Add(const KgeMatrix& matrix);
    int AddXMatrix(const double* values);  // null adds the identity
    // At the index clamped to [0, count].
    int InsertAt(int index, const KgeMatrix& matrix);

    int GetCount() const { return static_cast<int>(mItems.size()); }
    // The item with all sixteen values; the identity outside [0, count).
    KgeMatrix GetAt(int index) const;
    // The sixteen values of the item, row by row; null outside [0, count).
    const double* GetValues(int index) const;
    void Clear() { mItems.clear(); }

private:
    using Values = std::array<double, 16>;
    static Values AffineValues(const KgeMatrix& matrix);

    std::vector<Values> mItems;
};

}  // namespace fbxsdk_2006_11_1

#endif
