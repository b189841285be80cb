// The 3DS toolkit file that the 3DS reader or writer works on, in a toolkit
// context of its own: the reader or writer makes it current (Context) while
// it works. The toolkit gives every opener of a name in a context the same
// record and frees it at the first close: a record someone else opened is
// used, never closed.
#ifndef FBXFILESDK_FORMATS_KFBXTOOLKITFILE3DS_H
#define FBXFILESDK_FORMATS_KFBXTOOLKITFILE3DS_H

#include <fbxfilesdk/3dsftk/Toolkit3ds.h>

#include <cstdio>

namespace fbxsdk_2006_11_1 {

class KFbxToolkitFile3DS {
public:
    KFbxToolkitFile3DS() = default;
    ~KFbxToolkitFile3DS() { Close(); }
    KFbxToolkitFile3DS(const KFbxToolkitFile3DS&) = delete;
    KFbxToolkitFile3DS& operator=(const KFbxToolkitFile3DS&) = delete;

    // Opens the file in the toolkit's mode ("rb" or "wb"); false when the
    // toolkit cannot, with its reason in LastErrorText.
    bool Open(const char* fileName, const char* mode);
    // Lists a stream the caller opened for writing (AttachFile3ds); false
    // when the toolkit cannot.
    bool Attach(std::FILE* stream);
    // Closes the file when this holder opened it; forgets it either way.
    void Close();
    file3ds* Get() const { return mFile; }
    ToolkitContext3ds& Context() { return mContext; }
    // The text of the first error of the current context.
    static const char* LastErrorText();

private:
    ToolkitContext3ds mContext;
    file3ds* mFile = nullptr;
    // Whether this holder opened mFile, and so closes it.
    bool mOwns = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
