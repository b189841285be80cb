#include <fbxfilesdk/core/FourCC.h>

namespace fbxsdk_2006_11_1 {

// constinit: the codes are in the image before any code runs, so no static
// initialiser can observe them unset.
#define FBXSDK_FOURCC_DEFINE(name, a, b, c, d) constinit const FourCC gFourCC_##name(a, b, c, d);
FBXSDK_FOURCC_LIST(FBXSDK_FOURCC_DEFINE)
#undef FBXSDK_FOURCC_DEFINE

}  // namespace fbxsdk_2006_11_1
