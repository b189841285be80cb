// The registration face of an internal object: the object manager registers
// listeners through it, and the progress reporter hands itself out through it.
// Each implementer serves the operations that mean something for it; the others
// refuse.
#ifndef FBXFILESDK_CORE_IREGISTER_H
#define FBXFILESDK_CORE_IREGISTER_H

#include <fbxfilesdk/core/ICallback.h>
#include <fbxfilesdk/core/ListenerList.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class IRegister : public IKObject {
public:
    virtual ~IRegister() = default;
    virtual void* GetInterface(std::uint32_t id, void* argument) = 0;
    // False when the event type is not one this registry serves.
    virtual bool Register(std::uint32_t eventType, void* userData, ListenerCallback callback);
    virtual bool Unregister(std::uint32_t eventType, void* userData, ListenerCallback callback);
    // Destroys an object that owns itself; nothing for one that does not.
    virtual void Release();
};

}  // namespace fbxsdk_2006_11_1

#endif
