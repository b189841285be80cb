// The fixed body slots of a character ("links") and the table that names
// them: twelve groups of entries, each entry a link id, a name and the file
// version that introduced it. Five ids stand in no group: 67 is the reference
// link, named only through KFbxCharacterLinkNameFromElement, and 68, 69, 88
// and 89 have no name at all.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTERLINKTABLE_H
#define FBXFILESDK_SCENE_KFBXCHARACTERLINKTABLE_H

namespace fbxsdk_2006_11_1 {

// A link id, 0 to 190; only a few ids that code refers to are named here.
enum kCharacterLinkId {
    eCharacterHips = 0,
    eCharacterLeftFoot = 3,
    eCharacterReference = 67,
    eCharacterLastLinkId = 190
};
constexpr int kCharacterLinkCount = 191;

// A group of the table, 0 to 11.
enum kCharacterLinkGroup {
    eCharacterGroup_Base = 0,
    eCharacterGroup_Auxiliary = 1,
    eCharacterGroup_Spine = 2,
    eCharacterGroup_Roll = 3,
    eCharacterGroup_Special = 4,
    eCharacterGroup_LeftHand = 5,
    eCharacterGroup_RightHand = 6,
    eCharacterGroup_Props = 7,
    eCharacterGroup_GameModeParent = 8,
    eCharacterGroup_Neck = 9,
    eCharacterGroup_LeftFoot = 10,
    eCharacterGroup_RightFoot = 11
};
constexpr int kCharacterLinkGroupCount = 12;

struct KFbxCharacterGroupEntry {
    int mLinkId;
    const char* mName;
    // 4000 or 4500.
    int mVersion;
};

// Groups and indexes out of range give 0, -1, null or 0 rather than reading
// outside the table.
int KFbxCharacterGroupCount(int group);
int KFbxCharacterGroupElementByIndex(int group, int index);
const char* KFbxCharacterGroupNameByIndex(int group, int index);
int KFbxCharacterGroupVersionByIndex(int group, int index);
// Byte-for-byte name match, group by group then entry by entry; the first
// match wins. With limit set the search stops after the group passed in
// (which must be 0 to 11). Outputs are written only on a match.
bool KFbxCharacterFindGroupIndexByName(const char* name, bool limit, int& group, int& index);
bool KFbxCharacterFindGroupIndexByElement(int linkId, int& group, int& index);
// The entry name of the link id, or "Reference" for id 67; false otherwise.
bool KFbxCharacterLinkNameFromElement(int linkId, const char*& name);

}  // namespace fbxsdk_2006_11_1

#endif
