// KObject: namespaces, the segments that enclosing objects compose into a
// path, and the splitting of composed names.
#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

KEventWord Word(const void* pointer) { return reinterpret_cast<KEventWord>(pointer); }

// The position of the last occurrence of the pattern; -1 when none.
int FindLast(const KString& text, const char* pattern) {
    int last = -1;
    for (int at = text.Find(pattern); at != -1; at = text.Find(pattern, at + 1)) {
        last = at;
    }
    return last;
}

}  // namespace

std::vector<KObject*> KObject::CollectNameSpaceTree() {
    // Worked through a list with each object once, so a cycle of sources ends.
    std::vector<KObject*> seen;
    try {
        seen.push_back(this);
        for (std::size_t next = 0; next < seen.size(); ++next) {
            KObject* object = seen[next];
            const int classId = object->GetOwnerClassId();
            if (classId == -1) {
                continue;
            }
            for (int i = 0; i < object->GetSrcCount(classId); ++i) {
                KObject* src = object->GetSrcObject(i, classId);
                if (src != nullptr && std::find(seen.begin(), seen.end(), src) == seen.end()) {
                    seen.push_back(src);
                }
            }
        }
    } catch (const std::bad_alloc&) {
    SdkNoteAllocationFailure();
    }
    return seen;
}

KString KObject::SegmentUnder(const KString& absolute, const KString& path) {
    if (!path.IsEmpty()) {
        const KString prefix = path + ":";
        if (absolute.GetLen() >= prefix.GetLen() && absolute.Left(prefix.GetLen()) == prefix) {
            return absolute.Mid(prefix.GetLen());
        }
    }
    return absolute;
}

void KObject::ChangeNameSpace(const KString& given, const KString& absolute, const KString& segment, int beginKind,
                              int endKind) {
    const KString old(mNameSpace);
    Notify(beginKind, 0, Word(given.Buffer()), -1);
    EmitObjectEvent(nullptr, kKObjectEventNameSpaceChanging, this, Word(given.Buffer()), Word(old.Buffer()), 0);
    mAbsoluteNameSpace = absolute;
    mNameSpace = segment;
    SetFullNameDirty(true);
    Notify(endKind, 0, Word(given.Buffer()), -1);
    for (KObject* object : CollectNameSpaceTree()) {
        object->EmitObjectEvent(nullptr, kKObjectEventNameSpaceChanged, object, Word(given.Buffer()),
                                Word(old.Buffer()), 0);
    }
}

void KObject::SetNameSpace(const char* nameSpace) {
    const KString segment(nameSpace != nullptr ? nameSpace : "");
    ChangeNameSpace(segment, mAbsoluteNameSpace, segment, eKObjectNotifyNameSpaceChanging, eKObjectNotifyNameSpaceChanged);
}

void KObject::SetAbsoluteNameSpace(const char* nameSpace) {
    const KString absolute(nameSpace != nullptr ? nameSpace : "");
    if (absolute == mNameSpace && absolute == mAbsoluteNameSpace) {
        return;
    }
    const int classId = GetOwnerClassId();
    KObject* owner = classId != -1 ? GetDstObject(0, classId) : nullptr;
    const KString path = owner != nullptr ? owner->GetNameSpacePath() : KString();
    ChangeNameSpace(absolute, absolute, SegmentUnder(absolute, path), eKObjectNotifyAbsoluteNameSpaceChanging,
                    eKObjectNotifyAbsoluteNameSpaceChanged);
}

void KObject::RederiveNameSpaceOf(KObject* source) {
    if (source == nullptr || source->mAbsoluteNameSpace.IsEmpty()) {
        return;
    }
    const int classId = source->GetOwnerClassId();
    if (classId == -1 || !IsType(classId)) {
        return;
    }
    source->mNameSpace = SegmentUnder(source->mAbsoluteNameSpace, GetNameSpacePath());
    source->SetFullNameDirty(true);
}

void KObject::SetFullName(const char* fullName) {
    KString rest(fullName != nullptr ? fullName : "");
    // The outer parts and the type name come off first; the type name comes
    // from the object's own type.
    if (const int at = FindLast(rest, ":::"); at != -1) {
        rest = rest.Mid(at + 3);
    }
    if (const int at = FindLast(rest, "::"); at != -1) {
        rest = rest.Mid(at + 2);
    }
    const int at = rest.ReverseFind(':');
    SetAbsoluteNameSpace(at != -1 ? rest.Left(at).Buffer() : "");
    SetName(at != -1 ? rest.Mid(at + 1).Buffer() : rest.Buffer());
}

KString KObject::GetNameWithNameSpace(bool withPath) {
    const KString nameSpace = withPath ? GetNameSpacePath() : mNameSpace;
    return nameSpace.IsEmpty() ? mName : nameSpace + ":" + mName;
}

}  // namespace fbxsdk_2006_11_1
