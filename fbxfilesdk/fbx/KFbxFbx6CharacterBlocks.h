// The sixteen link blocks of an FBX 6 character record, in file order: five
// blocks hold the offsets of one link each, eleven the "LINK" records of one
// link group.
#ifndef FBXFILESDK_FBX_KFBXFBX6CHARACTERBLOCKS_H
#define FBXFILESDK_FBX_KFBXFBX6CHARACTERBLOCKS_H

namespace fbxsdk_2006_11_1 {

struct KFbxFbx6CharacterBlock {
    const char* mField;
    // True: mNumber is a link id whose offsets the block holds; false: a
    // link group whose links the block lists.
    bool mSingleLink;
    int mNumber;
};

constexpr int kFbx6CharacterBlockCount = 16;
extern const KFbxFbx6CharacterBlock kFbx6CharacterBlocks[kFbx6CharacterBlockCount];

// The link id a "LINK" block of the group names; -1 for a name the group
// does not have.
int KFbxCharacterGroupLinkId(int group, const char* name);

}  // namespace fbxsdk_2006_11_1

#endif
