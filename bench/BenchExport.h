// Writes a benchmark's scene to a file in one writer format.
#ifndef QALIMOR_BENCH_BENCHEXPORT_H
#define QALIMOR_BENCH_BENCHEXPORT_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <string>

namespace benchfiles {

inline bool ExportScene(fbxsdk_2006_11_1::KFbxSdkManager& manager, fbxsdk_2006_11_1::KFbxScene* scene,
                        const std::string& path, int format) {
    auto* exporter = fbxsdk_2006_11_1::KFbxExporter::Create(&manager, "");
    exporter->SetFileFormat(format);
    const bool exported = exporter->Initialize(path.c_str()) && exporter->Export(scene);
    exporter->Destroy();
    return exported;
}

}  // namespace benchfiles

#endif
