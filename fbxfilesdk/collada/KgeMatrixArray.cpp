#include <fbxfilesdk/collada/KgeMatrixArray.h>

#include <algorithm>
#include <cstring>

namespace fbxsdk_2006_11_1 {

KgeMatrixArray::Values KgeMatrixArray::AffineValues(const KgeMatrix& matrix) {
    const KgeMatrix copy(matrix);
    Values values;
    std::memcpy(values.data(), static_cast<const double*>(copy), sizeof(double) * values.size());
    return values;
}

int KgeMatrixArray::Add(const KgeMatrix& matrix) { return InsertAt(GetCount(), matrix); }

int KgeMatrixArray::AddXMatrix(const double* values) {
    Values item;
    if (values != nullptr) {
        std::copy(values, values + item.size(), item.begin());
    } else {
        item = AffineValues(KgeMatrix());
    }
    mItems.push_back(item);
    return GetCount() - 1;
}

int KgeMatrixArray::InsertAt(int index, const KgeMatrix& matrix) {
    index = std::clamp(index, 0, GetCount());
    mItems.insert(mItems.begin() + index, AffineValues(matrix));
    return index;
}

KgeMatrix KgeMatrixArray::GetAt(int index) const {
    const double* values = GetValues(index);
    return values != nullptr ? KgeMatrix(values) : KgeMatrix();
}

const double* KgeMatrixArray::GetValues(int index) const {
    return index >= 0 && index < GetCount() ? mItems[static_cast<std::size_t>(index)].data() : nullptr;
}

}  // namespace fbxsdk_2006_11_1
