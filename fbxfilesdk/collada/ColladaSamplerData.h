// The keys of one animation sampler as its sources hold them: parallel
// arrays of key times (seconds), output values, in and out tangents (value
// offsets of the Bezier handles) and interpolation names. The reader fills
// them from a document, the writer from a curve.
#ifndef FBXFILESDK_COLLADA_COLLADASAMPLERDATA_H
#define FBXFILESDK_COLLADA_COLLADASAMPLERDATA_H

#include <fbxfilesdk/core/KString.h>

#include <cstddef>
#include <vector>

namespace fbxsdk_2006_11_1 {

struct ColladaSamplerData {
    std::vector<double> mTimes;
    std::vector<double> mOutputs;
    std::vector<double> mInTangents;
    std::vector<double> mOutTangents;
    std::vector<KString> mInterpolations;
    // How many output values in a row each interpolation name serves: a
    // matrix key's name serves all the parts the matrix is taken apart into.
    std::size_t mInterpolationRepeat = 1;
};

}  // namespace fbxsdk_2006_11_1

#endif
