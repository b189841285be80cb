// Interface bases of the internal object layer. They carry no data: they let
// one object be asked for another of its faces by a numeric interface id.
#ifndef FBXFILESDK_CORE_ICALLBACK_H
#define FBXFILESDK_CORE_ICALLBACK_H

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class ICallback {
public:
    virtual ~ICallback() = default;
    // The object's face for the interface id, or null when it has none. What
    // the returned pointer points at depends on the id (each implementer says).
    virtual void* GetInterface(std::uint32_t id, void* argument) = 0;
};

// Marks the classes of the internal object family.
class IKObject {};

}  // namespace fbxsdk_2006_11_1

#endif
