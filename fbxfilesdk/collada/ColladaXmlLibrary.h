// libxml2's set-up for the process, which its own first uses would otherwise
// each start, unsafely when several threads start at once.
#ifndef FBXFILESDK_COLLADA_COLLADAXMLLIBRARY_H
#define FBXFILESDK_COLLADA_COLLADAXMLLIBRARY_H

namespace fbxsdk_2006_11_1 {

// Sets libxml2 up on the first call; every later one, in any thread, returns
// once that is done. Called before a reader or writer first uses libxml2.
void ColladaReadyXml();

}  // namespace fbxsdk_2006_11_1

#endif
