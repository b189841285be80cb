// Small writing helpers over a field file that the stored forms share.
#ifndef FBXFILESDK_FBX_KFBXFIELDTEXTWRITER_H
#define FBXFILESDK_FBX_KFBXFIELDTEXTWRITER_H

namespace fbxsdk_2006_11_1 {

class KFbx;

class KFbxFieldTextWriter {
public:
    // A field holding one string value; nothing without a file.
    static void WriteStringField(KFbx* file, const char* name, const char* text);
};

}  // namespace fbxsdk_2006_11_1

#endif
