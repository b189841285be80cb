#include <fbxfilesdk/core/IRegister.h>

namespace fbxsdk_2006_11_1 {

bool IRegister::Register(std::uint32_t, void*, ListenerCallback) { return false; }
bool IRegister::Unregister(std::uint32_t, void*, ListenerCallback) { return false; }
void IRegister::Release() {}

}  // namespace fbxsdk_2006_11_1
