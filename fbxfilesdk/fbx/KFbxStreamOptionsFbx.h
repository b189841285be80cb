// The option sets of the FBX reader and writer, and of the motion file
// formats whose options the FBX writers also accept.
#ifndef FBXFILESDK_FBX_KFBXSTREAMOPTIONSFBX_H
#define FBXFILESDK_FBX_KFBXSTREAMOPTIONSFBX_H

#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

// The takes a file holds or will hold, each with its select flag.
class KFbxStreamOptionsTakeList {
public:
    int GetTakeInfoCount() const { return static_cast<int>(mTakes.size()); }
    // Null out of range.
    KFbxTakeInfo* GetTakeInfo(int index);
    const KFbxTakeInfo* GetTakeInfo(int index) const;
    // Null when no take has the name.
    KFbxTakeInfo* FindTakeInfo(const char* name);
    void AddTakeInfo(const KFbxTakeInfo& takeInfo) { mTakes.push_back(takeInfo); }
    void ClearTakeInfo() { mTakes.clear(); }
    // The takes whose select flag is set.
    int GetSelectedTakeCount() const;

private:
    std::vector<KFbxTakeInfo> mTakes;
};

// Options of a read: which sections to read (all by default), the password
// of a protected file and the take to make current. The reader fills the
// take list with the takes the file announces.
class KFbxStreamOptionsFbxReader : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsFbxReader)

public:
    // Sections on, no password, no current take; the take list is emptied.
    void Reset() override;
    KFbxStreamOptionsTakeList& GetTakeList() { return mTakeList; }
    const KFbxStreamOptionsTakeList& GetTakeList() const { return mTakeList; }

private:
    KFbxStreamOptionsTakeList mTakeList;
};

// Options of a write: every section on, media not embedded, no password; the
// take list selects the takes to write.
class KFbxStreamOptionsFbxWriter : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsFbxWriter)

public:
    void Reset() override;
    KFbxStreamOptionsTakeList& GetTakeList() { return mTakeList; }
    const KFbxStreamOptionsTakeList& GetTakeList() const { return mTakeList; }
    int GetSelectedTakeCount() const { return mTakeList.GetSelectedTakeCount(); }

private:
    KFbxStreamOptionsTakeList mTakeList;
};

class KFbxStreamOptionsMotionReader : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsMotionReader)
};

class KFbxStreamOptionsMotionWriter : public KFbxStreamOptions {
    KFBX_STREAM_OPTIONS_DECLARE(KFbxStreamOptionsMotionWriter)
};

}  // namespace fbxsdk_2006_11_1

#endif
