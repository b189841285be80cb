// The media an FBX file embeds, extracted during one import into the media
// folder beside the file read (its name with ".fbm" for extension): in the
// very folder the file was read from, held since before it was opened, and held
// open itself by its handle for the whole import. Each medium ends in a file
// of that folder holding exactly its bytes: a file already there is kept
// only when it holds them, one from before the import that holds other bytes
// is replaced in one step, and two media of one name with different bytes
// get a file each, the later one under a numbered name ("wood1.tga"). Media
// of one name and the same bytes share one file. A medium is written whole
// under a name of its own before it takes its name, so that an import ended
// midway leaves no cut file in its place. A link or anything else that is
// not a regular file is never followed or written into; a medium that would
// need one is refused, with the reason. Media, and the media folder when it
// is made, let others in no more than the file read does, nor a group other
// than its own. Beside a file in a folder all may write, the media folder
// is one of the reader's own: where the name is another user's, or no
// folder, the first numbered name ("doc1.fbm") that is free or the
// reader's own.
#ifndef FBXFILESDK_FBX_MEDIAEXTRACTION_H
#define FBXFILESDK_FBX_MEDIAEXTRACTION_H

#include <platform/os/FileFolder.h>
#include <platform/os/Folder.h>

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <tuple>

namespace fbxsdk_2006_11_1 {

class MediaExtraction {
public:
    // Starts an import of the file (its path, as reported in the media's
    // paths) read from the folder given; none when the path is empty, and
    // then nothing is extracted.
    void Begin(const std::string& filePath, const qalimor::os::FileFolder& fileFolder);
    // Ends the import: the folders are let go.
    void End();
    bool IsActive() const { return !mFolderPath.empty(); }
    // The media folder's path: once media are extracted, the numbered one
    // they went into where it is that.
    const std::string& FolderPath() const { return mFolderPath; }

    enum class Outcome { eWritten, eFound, eRefused };
    // Gives the medium of the base name and bytes a file of the media folder:
    // its path, and its path from the folder of the file read, or, when
    // refused, the reason.
    Outcome Extract(const std::string& name, const void* bytes, std::size_t size, std::string& path,
                    std::string& relativePath, std::string& reason);

private:
    enum class Placed { eWritten, eFound, eTaken, eFailed };
    // Opens the media folder, made when missing, or in a folder all may write
    // a numbered one of our own instead of another's; why not when it cannot
    // be.
    std::string OpenFolder();
    // The name's file holds the bytes now, written now or kept; or the name
    // is taken by what is not a regular file; or the write failed (why in
    // reason).
    Placed Place(const std::string& name, const void* bytes, std::size_t size, std::string& reason);
    // Writes the bytes as a new file that takes the name: from the file of
    // that name with replacing, else only where nothing has it (EEXIST when
    // something took it meanwhile).
    bool Write(const std::string& name, const void* bytes, std::size_t size, bool replacing, std::string& reason);

    std::string mFolderPath;
    std::string mRelativeFolder;
    qalimor::os::FileFolder mFileFolder;
    qalimor::os::Folder mFolder;
    // Whether the media folder was tried; why it could not be opened.
    bool mOpenTried = false;
    std::string mFolderRefusal;
    // The names this import's media have, and the numbers their base names
    // have reached.
    std::set<std::string> mTaken;
    std::map<std::string, unsigned> mNextNumber;
    // Where a medium of a base name, a size and a hash of its bytes went.
    std::map<std::tuple<std::string, std::size_t, std::size_t>, std::string> mPlaced;
};

}  // namespace fbxsdk_2006_11_1

#endif
