#include <fbxfilesdk/collada/KFbxWriterCollada.h>

namespace fbxsdk_2006_11_1 {

xmlNode* KFbxWriterCollada::ExportGeometry(KFbxNode& /*node*/) { return nullptr; }

bool KFbxWriterCollada::ExportShapeGeometries(xmlNode* /*visualScene*/) { return true; }

}  // namespace fbxsdk_2006_11_1
