// Reading a COLLADA "source" (an array element and the accessor of its
// "technique_common") into an array of SDK values. Each routine takes the
// accessor's "count" (items) and, where it applies, "stride" (values per
// item), finds the source's array of the param type, parses it and tells
// whether it held exactly the values the accessor announces. A source with
// a negative count, a stride below 1, or a count its text cannot hold (each
// value needs at least one character and one blank) is refused before the
// array is touched, so no document makes us allocate more than its text can
// fill. Otherwise the array is sized to the count and filled as the parsers
// of ColladaXmlParse.h do.
#ifndef FBXFILESDK_COLLADA_COLLADAXMLSOURCE_H
#define FBXFILESDK_COLLADA_COLLADAXMLSOURCE_H

#include <fbxfilesdk/collada/KgeMatrixArray.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>

#include <libxml/tree.h>

#include <vector>

namespace fbxsdk_2006_11_1::ColladaXml {

// "float" values, count x stride of them (stride 1 when not given); the
// array holds count items at least.
bool ReadSourceDoubles(const xmlNode* source, std::vector<double>& values);
// "float" values, sixteen per matrix, count matrices, appended (stride not read).
bool ReadSourceMatrices(const xmlNode* source, KgeMatrixArray& matrices);
// "float" values, count items of two values; the stride (1 when not given)
// must be at least 2, and values past the second of each item are dropped.
bool ReadSourceVector2(const xmlNode* source, std::vector<KFbxVector2>& values);
// "float" values, count items of three values (x, y, z, 0); stride not read.
bool ReadSourceVector3(const xmlNode* source, std::vector<KFbxVector4>& values);
// Names (a "Name_array", an "IDREF_array" or an "array"), count x stride
// of them (stride 1 when not given).
bool ReadSourceNames(const xmlNode* source, std::vector<KString>& names);
// "float" values, count colours of stride values: 4 (the default) or 3,
// alpha 1 then; each component clamped to [0, 1]. Another stride is
// refused; an empty or missing count gives true and leaves the array as it was.
bool ReadSourceColors(const xmlNode* source, std::vector<KFbxColor>& colors);

}  // namespace fbxsdk_2006_11_1::ColladaXml

#endif
