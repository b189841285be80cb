// The common part of the importer and the exporter: the file name they work
// on, their status (a code with its text) and a progress text.
#ifndef FBXFILESDK_FBX_KFBXIO_H
#define FBXFILESDK_FBX_KFBXIO_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxIO : public KFbxObject {
public:
    enum EError {
        eFILE_CORRUPTED = 0,
        eFILE_VERSION_NOT_SUPPORTED_YET = 1,
        eFILE_VERSION_NOT_SUPPORTED_ANYMORE = 2,
        eFILE_NOT_OPENED = 3,
        eFILE_NOT_CREATED = 4,
        eOUT_OF_DISK_SPACE = 5,
        eUNINITIALIZED_FILENAME = 6,
        eUNIDENTIFIED_ERROR = 7,
        eINVALID_PARAMETER = 8,
        eWRONG_PASSWORD = 9,
        eSTREAM_OPTIONS_NOT_SET = 10,
        eEMBEDDED_OUT_OF_SPACE = 11,
        eERROR_COUNT = 12
    };

    // The class id of KFbxIO; null until the SDK classes are registered.
    static KFbxClassId ClassId;

    KFbxIO(KFbxSdkManager* manager, const char* name);
    ~KFbxIO() override;

    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);
    KFbxClassId GetClassId() const override;

    // Stores the name and clears the status; false for a null or empty name
    // (status eUNINITIALIZED_FILENAME).
    virtual bool Initialize(const char* fileName);
    virtual KString GetFileName() const { return mFileName; }

    // A progress report of the reader or writer at work: the status text
    // becomes the text, followed by " - " and the detail when there is one.
    // The status code and the percentage are not kept.
    void AppendStatusText(int status, const char* text, const char* detail, float percent);
    const char* GetStatusText() const { return mStatusText.Buffer(); }

    ErrorHolder& GetError() { return mError; }
    const ErrorHolder& GetError() const { return mError; }
    // -1 when no error is set.
    int GetLastErrorID() const { return mError.GetLastErrorID(); }
    const char* GetLastErrorString() const { return mError.GetLastErrorString(); }

    // The fixed text of a status code; "" outside the table.
    static const char* GetErrorText(int code);

protected:
    KString mFileName;
    ErrorHolder mError;
    KString mStatusText;
};

}  // namespace fbxsdk_2006_11_1

#endif
