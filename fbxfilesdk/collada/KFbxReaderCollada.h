// Reads COLLADA 1.4 documents (extension "dae") into a scene. The whole file
// is parsed into a tree first, then read apart from the caller's scene; only
// a document read to its end is moved into that scene (its nodes added under
// the root), so a broken document leaves the scene as it was.
//
// Errors and warnings are reported as "ERROR: " or "Warning: " followed by
// the message: as details of entry 6 of the SDK manager's user
// notification, and as lines of the reader's message text. A warning given
// once is given once for the life of the reader.
#ifndef FBXFILESDK_COLLADA_KFBXREADERCOLLADA_H
#define FBXFILESDK_COLLADA_KFBXREADERCOLLADA_H

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/KFbxReader.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_set>

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxScene;
class KFbxStreamOptions;

class KFbxReaderCollada : public KFbxReader {
public:
    explicit KFbxReaderCollada(KFbxSdkManager& manager);
    ~KFbxReaderCollada() override;

    bool FileOpen(const char* fileName) override;
    bool OpensRegularFilesOnly() const override;
    bool FileClose() override;
    bool IsFileOpen() override;
    // KFbxStreamOptionsColladaReader options: "START" 0, "FRAME COUNT" 0 and
    // the default time mode.
    KFbxStreamOptions* GetReadOptions() override;
    // Any option set will do. On failure the error is code 0 with the text
    // "Unable to parse xml/dae file\n", after the report of what failed. A
    // document that reads and brings no node into the scene warns that it
    // holds no scene content.
    bool Read(KFbxScene* scene, KFbxStreamOptions* options) override;

    void AddNotificationError(const KString& message);
    void AddNotificationWarning(const KString& message);
    // The warning, unless one was given under the key before.
    void AddNotificationWarningOnce(const char* key, const KString& message);

    // The span of the animation read, widened key by key.
    struct TimeInfo {
        KTime mStart;
        KTime mStop;
        int mFrameCount = 0;
        double mFrameRate = 0.0;
    };
    TimeInfo& GetTimeInfo() { return mTimeInfo; }
    // The document's file as it was opened (empty when none is open), which
    // the names the document holds are relative to.
    const KString& GetFileName() const { return mFileName; }

private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    void Notify(const char* prefix, const KString& message);
    void Report(const char* prefix, const KString& message);
    void ResetTimeInfo();
    bool ReadFailed();
    void FinishScene(KFbxScene& scene);

    // The stream's buffer, given to it so that a small document is read in
    // one call and a large one in few: left to itself the stream would take
    // a page at a time, after a status call to size it. Declared first, it
    // outlives the stream.
    static constexpr std::size_t kStreamBufferBytes = std::size_t{64} << 10;
    std::unique_ptr<char[]> mStreamBuffer;
    std::unique_ptr<std::FILE, CloseFile> mFile;
    KString mFileName;
    TimeInfo mTimeInfo;
    std::unordered_set<std::string> mWarnedNames;
};

// The registry's create function of the COLLADA reader.
KFbxReader* CreateColladaReader(KFbxSdkManager& manager, KFbxIO* io, int subFormat);

}  // namespace fbxsdk_2006_11_1

#endif
