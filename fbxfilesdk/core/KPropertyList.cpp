#include <fbxfilesdk/core/KPropertyList.h>

#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

namespace fbxsdk_2006_11_1 {

KPropertyList::KPropertyList() { GetInfo().SetFlag(KPropertyInfo::kList, true); }

KPropertyObjectList::KPropertyObjectList() {
    GetInfo().SetFlag(KPropertyInfo::kList | KPropertyInfo::kObjectList, true);
}

const KPlugClassInfo* KPropertyObjectList::GetClassInfo() const { return &gKPropertyObjectListClassInfo; }

bool KPropertyObjectList::EmitConnectionEvent(const KPlugEventChain* chain, int code, KPlug* sender, int index,
                                              KPlug* other, std::uint8_t type, KEventWord extra) {
    if (sender == this && (code == eKPlugSrcAdded || code == eKPlugSrcRemoved)) {
        IncrementChangeCount();
    }
    return KProperty::EmitConnectionEvent(chain, code, sender, index, other, type, extra);
}

int KPropertyObjectList::GetCount() const { return ItemsAreSources() ? GetSrcCount() : GetDstCount(); }

KObject* KPropertyObjectList::GetAt(int index) const {
    return KObject::AsKObject(ItemsAreSources() ? GetSrc(index) : GetDst(index));
}

bool KPropertyObjectList::Add(KObject* object) {
    IncrementChangeCount();
    return ItemsAreSources() ? ConnectSrc(object, 0) : ConnectDst(object, 0);
}

bool KPropertyObjectList::SetAt(int index, KObject* object) {
    IncrementChangeCount();
    return ItemsAreSources() ? SetSrcAt(index, object) : SetDstAt(index, object);
}

bool KPropertyObjectList::RemoveAt(int index) {
    IncrementChangeCount();
    return ItemsAreSources() ? DisconnectSrcAt(index) : DisconnectDstAt(index);
}

bool KPropertyObjectList::InsertAt(int index, KObject* object) {
    IncrementChangeCount();
    return ItemsAreSources() ? ConnectSrcAt(index, object, 0) : ConnectDstAt(index, object, 0);
}

bool KPropertyObjectList::Remove(KObject* object) {
    IncrementChangeCount();
    return ItemsAreSources() ? DisconnectSrc(object) : DisconnectDst(object);
}

bool KPropertyObjectList::Clear() {
    IncrementChangeCount();
    if (ItemsAreSources()) {
        DisconnectAllSrc();
    } else {
        DisconnectAllDst();
    }
    return true;
}

void KPropertyObjectList::SetObjectType(KEventWord classId, int typeId) {
    mObjectClassId = classId;
    mObjectTypeId = typeId;
    SetClassInfo(GetPlugClassFilter(typeId), GetFlags() & kIsView);
}

void KPropertyObjectList::GetObjectType(KEventWord& classId, int& typeId) const {
    classId = mObjectClassId;
    typeId = mObjectTypeId;
}

int KPropertyObjectList::Find(KObject* object) const {
    for (int i = 0; i < GetSrcCount(); ++i) {
        if (KObject::AsKObject(GetSrc(i)) == object && object != nullptr) {
            return i;
        }
    }
    return -1;
}

}  // namespace fbxsdk_2006_11_1
