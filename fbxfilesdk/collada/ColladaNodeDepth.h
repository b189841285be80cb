// How deep nodes nest in the COLLADA documents this SDK reads and writes.
// COLLADA says a node's parent only by nesting its element in the parent's,
// so a scene's depth is the document's. The reader refuses a document whose
// nodes nest deeper (its node walks take a stack frame per level, and so do
// the scene's own walks over what it reads), and the writer refuses a scene
// that would give one, so that every document written reads back whole.
#ifndef FBXFILESDK_COLLADA_COLLADANODEDEPTH_H
#define FBXFILESDK_COLLADA_COLLADANODEDEPTH_H

namespace fbxsdk_2006_11_1 {

// A visual scene's own nodes are at level 1.
inline constexpr int kColladaMaxNodeDepth = 256;

}  // namespace fbxsdk_2006_11_1

#endif
