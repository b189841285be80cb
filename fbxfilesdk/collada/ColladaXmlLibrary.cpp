#include <fbxfilesdk/collada/ColladaXmlLibrary.h>

#include <libxml/parser.h>

#include <mutex>

namespace fbxsdk_2006_11_1 {

void ColladaReadyXml() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

}  // namespace fbxsdk_2006_11_1
