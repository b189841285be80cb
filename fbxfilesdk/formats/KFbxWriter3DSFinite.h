// Values that are not numbers, or are infinite, have no meaning a reader of
// 3DS files could take: the writer writes them as 0 and says how many.
#ifndef FBXFILESDK_FORMATS_KFBXWRITER3DSFINITE_H
#define FBXFILESDK_FORMATS_KFBXWRITER3DSFINITE_H

#include <fbxfilesdk/3dsftk/Background3ds.h>
#include <fbxfilesdk/3dsftk/Camera3ds.h>
#include <fbxfilesdk/3dsftk/Light3ds.h>
#include <fbxfilesdk/3dsftk/Material3ds.h>
#include <fbxfilesdk/3dsftk/Mesh3ds.h>
#include <fbxfilesdk/3dsftk/Motion3ds.h>

#include <cstddef>

namespace fbxsdk_2006_11_1::writer3ds {

// Each sets the record's values that are not finite to 0 and returns how
// many it set.
std::size_t ZeroNonFinite(mesh3ds& mesh);
std::size_t ZeroNonFinite(material3ds& material);
std::size_t ZeroNonFinite(light3ds& light);
std::size_t ZeroNonFinite(camera3ds& camera);
std::size_t ZeroNonFinite(background3ds& background);
std::size_t ZeroNonFinite(kfmesh3ds& motion);
std::size_t ZeroNonFinite(kfomni3ds& motion);
std::size_t ZeroNonFinite(kfspot3ds& motion);
std::size_t ZeroNonFinite(kfcamera3ds& motion);

}  // namespace fbxsdk_2006_11_1::writer3ds

#endif
