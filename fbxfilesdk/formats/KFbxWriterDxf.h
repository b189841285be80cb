// Writes the meshes of a scene as a DXF drawing: one layer named after each
// mesh node and one polyface polyline on it, its vertices in world space
// (a scene point (x, y, z) is the drawing's (x, -z, y)); material colours
// become colour numbers. NURBS and patches are written as triangle meshes.
// Nothing else of the scene is written, and the scene is given back as it
// was: names, geometry and deformers.
#ifndef FBXFILESDK_FORMATS_KFBXWRITERDXF_H
#define FBXFILESDK_FORMATS_KFBXWRITERDXF_H

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/KFbxWriter.h>
#include <fbxfilesdk/scene/KFbxSceneNameSnapshot.h>

#include <platform/os/ReplacementFile.h>

#include <cstdio>
#include <initializer_list>

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxNode;

class KFbxWriterDxf : public KFbxWriter {
public:
    // The IO object is not used.
    KFbxWriterDxf(KFbxSdkManager& manager, KFbxIO* io);
    ~KFbxWriterDxf() override;

    // Closes an open file first; "File not opened" when it cannot be made,
    // with the system's reason.
    bool FileCreate(const char* fileName) override;
    // True when nothing was open or the close succeeded; when a file written
    // whole could not be kept, "Out of disk space" for a full disk and an
    // unidentified error otherwise, the system's reason in the message. It
    // takes the place of the file named only after writes that all
    // succeeded.
    bool FileClose() override;
    bool IsFileOpen() override { return mFile != nullptr; }
    // New KFbxStreamOptionsDxfWriter options with their defaults.
    KFbxStreamOptions* GetWriteOptions() override;
    // Writes the scene. "Stream options not set" for options of another
    // class or none; "File not opened" without a file; when the stream
    // fails, as FileClose says it. The message tells, a line per mesh,
    // numbers that were not finite and were written as 0.
    bool Write(KFbxScene* scene, KFbxStreamOptions* options) override;
    // The shared renaming of plain mesh files, with this writer's own
    // snapshot of the names; PostprocessScene gives them back and, as the file kind has nothing to finish, answers
    // false.
    bool PreprocessScene(KFbxScene& scene) override;
    bool PostprocessScene(KFbxScene& scene) override;

    // The colour number nearest an RGB colour (components 0 to 1).
    static int RgbToColorIndex(const double rgb[3]);

private:
    // The layer of a node whose mesh is written; nothing for another node.
    void WriteLayer(KFbxNode& node);
    void WritePolyline(KFbxNode& node);
    // One group: its code, then its value on a line of its own.
    struct FixedGroup {
        int mCode;
        const char* mValue;
    };
    void Line(const char* text);
    void Code(int code);
    void Group(int code, const char* value);
    void Group(int code, int value);
    void Group(int code, double value);
    void Groups(std::initializer_list<FixedGroup> groups);

    qalimor::os::ReplacementFile mOutput;
    // Its stream, while open.
    std::FILE* mFile = nullptr;
    KString mFileName;
    bool mTriangulate = true;
    bool mDeformation = true;
    // Values of the polyline being written that were not finite numbers.
    int mNotFinite = 0;
    KFbxSceneNameSnapshot mNames;
};

}  // namespace fbxsdk_2006_11_1

#endif
