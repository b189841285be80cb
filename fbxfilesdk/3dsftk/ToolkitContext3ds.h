// The state the 3DS toolkit works in: an error list and a list of open files.
// Every toolkit routine works in the calling thread's current context: the
// one the innermost live ToolkitScope3ds of that thread made current, else
// the thread's own. A reader or writer keeps a context of its own and makes it
// current at each of its entry points, so that any number of them run in
// threads at once, and one used from one thread after another still finds
// its files; code that uses the toolkit directly works in its thread's own.
#ifndef FBXFILESDK_3DSFTK_TOOLKITCONTEXT3DS_H
#define FBXFILESDK_3DSFTK_TOOLKITCONTEXT3DS_H

#include <fbxfilesdk/3dsftk/Error3ds.h>
#include <fbxfilesdk/3dsftk/File3ds.h>

namespace fbxsdk_2006_11_1 {

class ToolkitContext3ds {
public:
    ToolkitContext3ds() = default;
    // Closes the files still open in it.
    ~ToolkitContext3ds();
    ToolkitContext3ds(const ToolkitContext3ds&) = delete;
    ToolkitContext3ds& operator=(const ToolkitContext3ds&) = delete;

    // The calling thread's current context.
    static ToolkitContext3ds& Current();

    ErrorList3ds mErrors;
    OpenFileList3ds mFiles;
};

// Makes a context current for the calling thread while it lives; the one
// current before comes back after. Scopes nest, and a context may be current
// in one thread at a time only.
class ToolkitScope3ds {
public:
    explicit ToolkitScope3ds(ToolkitContext3ds& context);
    ~ToolkitScope3ds();
    ToolkitScope3ds(const ToolkitScope3ds&) = delete;
    ToolkitScope3ds& operator=(const ToolkitScope3ds&) = delete;

private:
    ToolkitContext3ds* mOuter;
};

}  // namespace fbxsdk_2006_11_1

#endif
