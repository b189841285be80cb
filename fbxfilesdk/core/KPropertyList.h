// Properties that are containers. A KPropertyObjectList's items are the plugs
// connected to it: its sources when it accepts sources, else its destinations;
// every change is counted.
#ifndef FBXFILESDK_CORE_KPROPERTYLIST_H
#define FBXFILESDK_CORE_KPROPERTYLIST_H

#include <fbxfilesdk/core/KProperty.h>

namespace fbxsdk_2006_11_1 {

class KObject;

// A property that is a list (info flag kList).
class KPropertyList : public KProperty {
public:
    KPropertyList();
};

// The operations of object lists.
class KPropertyObjectList_Abstract : public KPropertyList {
public:
    virtual int GetCount() const = 0;
    virtual KObject* GetAt(int index) const = 0;
    virtual bool Add(KObject* object) = 0;
    virtual bool SetAt(int index, KObject* object) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual bool InsertAt(int index, KObject* object) = 0;
    virtual bool Remove(KObject* object) = 0;
    virtual bool Clear() = 0;
    virtual int GetChangeCount() const = 0;
    virtual void IncrementChangeCount() = 0;
    virtual void SetObjectType(KEventWord classId, int typeId) = 0;
    virtual void GetObjectType(KEventWord& classId, int& typeId) const = 0;
    virtual int Find(KObject* object) const = 0;
};

class KPropertyObjectList : public KPropertyObjectList_Abstract {
public:
    // Any object type (class id word and type id -1); info flags kList and kObjectList.
    KPropertyObjectList();

    const KPlugClassInfo* GetClassInfo() const override;
    // Adding and removing on the list itself are counted before the event goes on.
    bool EmitConnectionEvent(const KPlugEventChain* chain, int code, KPlug* sender, int index, KPlug* other,
                             std::uint8_t type, KEventWord extra) override;

    int GetCount() const override;
    // The item when it is a KObject; null otherwise (it still counts).
    KObject* GetAt(int index) const override;
    // Each counts a change, then connects or disconnects on the item side.
    bool Add(KObject* object) override;
    bool SetAt(int index, KObject* object) override;
    bool RemoveAt(int index) override;
    bool InsertAt(int index, KObject* object) override;
    bool Remove(KObject* object) override;
    // True.
    bool Clear() override;
    int GetChangeCount() const override { return mChangeCount; }
    void IncrementChangeCount() override { ++mChangeCount; }
    // Stores both and filters the list's connections by the type id's class.
    void SetObjectType(KEventWord classId, int typeId) override;
    void GetObjectType(KEventWord& classId, int& typeId) const override;
    // The index among the sources; -1 when absent.
    int Find(KObject* object) const override;

private:
    bool ItemsAreSources() const { return (GetFlags() & kAcceptsSrc) != 0; }

    int mObjectTypeId = -1;
    KEventWord mObjectClassId = -1;
    int mChangeCount = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
