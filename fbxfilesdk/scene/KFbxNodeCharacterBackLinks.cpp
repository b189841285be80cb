#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <utility>

namespace fbxsdk_2006_11_1 {

void KFbxNode::AddCharacterBackLink(const KFbxCharacterBackLink& backLink) {
    mCharacterBackLinks.push_back(backLink);
}

int KFbxNode::FindCharacterBackLink(const KFbxCharacterBackLink& backLink) const {
    if (backLink.mOwner == nullptr) {
        return -1;
    }
    const auto found = std::find(mCharacterBackLinks.begin(), mCharacterBackLinks.end(), backLink);
    return found != mCharacterBackLinks.end() ? static_cast<int>(found - mCharacterBackLinks.begin()) : -1;
}

bool KFbxNode::RemoveCharacterBackLink(const KFbxCharacterBackLink& backLink) {
    const int index = FindCharacterBackLink(backLink);
    if (index < 0) {
        return false;
    }
    mCharacterBackLinks.erase(mCharacterBackLinks.begin() + index);
    return true;
}

void KFbxNode::ReleaseCharacterBackLinks() {
    // Taken out first: the owners must not see the records they are told about.
    const std::vector<KFbxCharacterBackLink> backLinks = std::exchange(mCharacterBackLinks, {});
    for (const KFbxCharacterBackLink& backLink : backLinks) {
        KFbxCharacterReleaseNode(backLink, this);
    }
}

}  // namespace fbxsdk_2006_11_1
