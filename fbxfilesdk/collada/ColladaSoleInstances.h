// The geometries a document instances at one place only. The mesh such a
// geometry reads into can go into the scene itself rather than as a copy:
// nothing reads it after its one instance. Found conservatively, so that no
// read ever takes a mesh another instance copies later: none in a document
// with controllers (which read meshes of their own) or node instances (which
// read one node element more than once); otherwise each geometry with one
// "instance_geometry" in the whole document, that one in a node of a visual
// scene which instances nothing else.
#ifndef FBXFILESDK_COLLADA_COLLADASOLEINSTANCES_H
#define FBXFILESDK_COLLADA_COLLADASOLEINSTANCES_H

#include <libxml/tree.h>

#include <set>
#include <string>

namespace fbxsdk_2006_11_1 {

// The ids of those geometries below the document's root element.
std::set<std::string> ColladaSoleGeometryInstances(const xmlNode* root);

}  // namespace fbxsdk_2006_11_1

#endif
