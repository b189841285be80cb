// The root of every use of the SDK. A manager creates the SDK's objects by
// class id, holds them, finds them by class and by name, and destroys them
// with itself. The first manager of the process starts the process-wide
// services (pools, plug handles, the global world), registers the public
// classes and builds the property data types; the last manager destroyed
// stops the services, while the registrations and data types stay.
//
// A manager and its objects are used by one thread at a time; managers may be
// created and destroyed in several threads at once, each thread using its own.
#ifndef FBXFILESDK_CORE_KFBXSDKMANAGER_H
#define FBXFILESDK_CORE_KFBXSDKMANAGER_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KString.h>

#include <cstddef>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbxCameraSwitcher;
class KFbxConstraint;
class KFbxDataType;
class KFbxLayerElementMaterial;
class KFbxLayerElementNormal;
class KFbxLayerElementPolygonGroup;
class KFbxLayerElementSmoothing;
class KFbxLayerElementTexture;
class KFbxLayerElementUV;
class KFbxLayerElementUserData;
class KFbxLayerElementVertexColor;
class KFbxLayerElementVisibility;
class KFbxObject;
class KFbxPlug;
class KFbxUserNotification;
class KObjectList;
class KPlug;

// The layer elements a manager keeps until a layer takes them. The geometry
// library, which knows their classes, makes the pools with the first element;
// the manager only asks them to destroy what is left.
class KFbxLayerElementPools {
public:
    virtual ~KFbxLayerElementPools() = default;
    // Destroys the elements of every pool, last pool first, and empties them.
    virtual void DestroyAll() = 0;
    // The elements the pools hold.
    virtual std::size_t Count() const = 0;
};

class KFbxSdkManager {
public:
    // Error codes of GetError.
    enum EError { eObjectNotFound = 0, eErrorCount };

    // The layer-element pools, in the order they are kept and released.
    enum ELayerElementPool {
        eLayerElementPoolOther = 0,
        eLayerElementPoolNormal,
        eLayerElementPoolMaterial,
        eLayerElementPoolPolygonGroup,
        eLayerElementPoolUV,
        eLayerElementPoolColor,
        eLayerElementPoolSmoothing,
        eLayerElementPoolUserData,
        eLayerElementPoolVisibility,
        eLayerElementPoolTexture,
        eLayerElementPoolCount
    };

    KFbxSdkManager(const KFbxSdkManager&) = delete;
    KFbxSdkManager& operator=(const KFbxSdkManager&) = delete;

    // Destroys every held object, the layer elements and the user
    // notification; the last manager of the process stops the services.
    virtual ~KFbxSdkManager();

    // Destroys the elements of every pool, last first, and empties the pools.
    // An element that a layer has taken is the layer's: it is only let go.
    virtual void DestroyAllLayerElements();

    // Layer elements, named and kept in their pool until a layer takes them
    // (the layer then owns the element) or the manager ends; null when memory
    // runs out. Deleting an element takes it out of its pool. Defined by the
    // geometry library.
    KFbxLayerElementNormal* CreateLayerElementNormal(const char* name);
    KFbxLayerElementMaterial* CreateLayerElementMaterial(const char* name);
    KFbxLayerElementPolygonGroup* CreateLayerElementPolygonGroup(const char* name);
    KFbxLayerElementUV* CreateLayerElementUV(const char* name);
    KFbxLayerElementVertexColor* CreateLayerElementColor(const char* name);
    KFbxLayerElementSmoothing* CreateLayerElementSmoothing(const char* name);
    KFbxLayerElementUserData* CreateLayerElementUserData(const char* name, int id, const KFbxDataType* dataTypes,
                                                         const char* const* dataNames, int count);
    KFbxLayerElementUserData* CreateLayerElementUserDataCopy(const KFbxLayerElementUserData& other);
    KFbxLayerElementVisibility* CreateLayerElementVisibility(const char* name);
    KFbxLayerElementTexture* CreateLayerElementTexture(const char* name);
    // The layer elements made and not yet destroyed, taken by a layer or not.
    std::size_t GetLayerElementCount() const;

    // A constraint of the kind (1 position, 2 rotation, 3 scale, 4 parent,
    // 5 single chain IK, 6 aim); null for any other kind. Defined, with the
    // camera switcher's, by the scene library.
    KFbxConstraint* CreateConstraint(const char* name, int kind);
    // A camera switcher named "".
    KFbxCameraSwitcher* CreateCameraSwitcher();
    // Null, changing nothing, when the manager already has a notification (or
    // memory runs out); else the new notification, which the manager keeps.
    virtual KFbxUserNotification* CreateUserNotification(const KString& text1, const KString& text2);
    // Resets and deletes the notification when there is one; true.
    virtual bool DestroyUserNotification();
    // Destroys the scenes first (with what they own), then the nodes, then
    // every other object, then the user notification.
    virtual void DestroyAllObjects();

    // Holds the object: only a KFbxObject with an internal object. True when
    // the object is held (already or now).
    bool AddObject(KFbxPlug* object);
    // Lets the object go; false, with error eObjectNotFound, when the manager
    // does not hold it.
    bool RemoveObject(KFbxPlug* object);

    // Held objects whose run-time class is the class or derives from it; a
    // null class id means KFbxObject.
    int GetObjectCount(const KFbxClassId& classId = KFbxClassId()) const;
    // In the order the objects joined; null out of range.
    KFbxObject* GetObject(const KFbxClassId& classId, int index) const;
    // From the start index up, the first held object of the class whose
    // current name is the name, byte for byte; null when none.
    KFbxObject* FindObjectByName(const KFbxClassId& classId, const char* name, int startIndex = 0) const;

    // The class registered with this manager under the pair of object type
    // names; the null class id when none.
    KFbxClassId FindClassByTypeNames(const char* typeName, const char* subTypeName) const;
    // Enters the class under its name (replacing the class that name had in
    // this manager); false for the null class id or when memory runs out.
    bool AddClassId(const KFbxClassId& classId);

    // The notification, or null.
    KFbxUserNotification* GetUserNotification() const { return mUserNotification.get(); }
    ErrorHolder& GetError() { return mError; }
    const ErrorHolder& GetError() const { return mError; }

    // Managers alive in the process.
    static int GetLiveCount();

private:
    friend KFbxSdkManager* CreateSdkManager();
    friend KFbxClassId RegisterClass(KFbxSdkManager* manager, const char* name, const KFbxClassId& parent,
                                     KFbxPlugCreateFn createFn, const char* typeName, const char* subTypeName);
    struct ClassSets;

    KFbxSdkManager();
    // Everything the constructor makes exists.
    bool IsComplete() const { return mComplete; }
    // How a destroyed object leaves its manager: only a live manager is asked,
    // since an object let go by its manager may outlive it.
    static bool RemoveFromManager(KFbxSdkManager* manager, KFbxPlug* plug);
    static bool IsLive(const KFbxSdkManager* manager);
    bool HoldsObject(const KFbxPlug* object) const;
    bool AddClassIdByTypeNames(const KFbxClassId& classId, const KString& typeName, const KString& subTypeName);
    // The list's view of the class (KFbxObject for the null class id); null when none.
    KPlug* ViewOf(const KFbxClassId& classId) const;

    template <class Element, class... Args>
    Element* PoolElement(ELayerElementPool pool, Args&&... args);

    // Null until the first layer element.
    std::unique_ptr<KFbxLayerElementPools> mLayerElementPools;
    std::unique_ptr<KFbxUserNotification> mUserNotification;
    KObjectList* mObjectList = nullptr;
    ErrorHolder mError;
    std::unique_ptr<ClassSets> mClassSets;
    bool mCountedLive = false;
    bool mUsesFileFormatRegistry = false;
    bool mComplete = false;
    // The process-wide list of live managers.
    KFbxSdkManager* mPreviousLive = nullptr;
    KFbxSdkManager* mNextLive = nullptr;
};

// A new manager; null when memory runs out.
KFbxSdkManager* CreateSdkManager();

// An object of the class made by its create function (or that of its nearest
// ancestor with one), given the class as its run-time class and held by the
// manager; null for a null manager, a class without create function in its
// chain, or an object the manager cannot hold.
KFbxPlug* CreateObjectOfClass(KFbxSdkManager* manager, const KFbxClassId& classId, const char* name);

// A new class record entered in the manager by name and, when both type names
// are given, by type names too. The null class id when memory runs out.
KFbxClassId RegisterClass(KFbxSdkManager* manager, const char* name, const KFbxClassId& parent,
                          KFbxPlugCreateFn createFn, const char* typeName, const char* subTypeName);

}  // namespace fbxsdk_2006_11_1

#endif
