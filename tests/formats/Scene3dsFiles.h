// Small 3DS files made through the 3DS toolkit, record by record, for the
// reader's tests and the fuzzer's seeds. Free of the test framework: every
// step records whether the toolkit took it, and Write tells.
#ifndef TESTS_FORMATS_SCENE3DSFILES_H
#define TESTS_FORMATS_SCENE3DSFILES_H

#include <fbxfilesdk/3dsftk/Toolkit3ds.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::scene3ds {

// One key of a track: its frame, value and spline parameters.
template <class Value>
struct Key {
    std::uint32_t mFrame = 0;
    Value mValue{};
    std::uint16_t mFlags = 0;  // 0x01 tension, 0x02 continuity, 0x04 bias
    float mTension = 0.0f;
    float mContinuity = 0.0f;
    float mBias = 0.0f;
};

struct Mesh {
    std::string mName{};
    std::vector<point3ds> mVertices{};
    std::vector<std::array<std::uint16_t, 3>> mFaces{};
    std::vector<std::uint32_t> mSmoothing{};  // one mask per face, or none
    std::vector<texvertex3ds> mUVs{};
    // Material name and the faces it covers.
    std::vector<std::pair<std::string, std::vector<std::uint16_t>>> mGroups{};
    std::array<float, 12> mLocal = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
};

struct ObjectNode {
    std::string mName{};
    std::string mInstance{};
    std::string mParent{};
    point3ds mPivot{};
    std::vector<Key<point3ds>> mPosition{};
    std::vector<Key<rotkey3ds>> mRotation{};
    std::vector<Key<point3ds>> mScale{};
};

struct OmniNode {
    std::string mName{};
    std::string mParent{};
    std::vector<Key<point3ds>> mPosition{};
    std::vector<Key<point3ds>> mColor{};
};

struct SpotNode {
    std::string mName{};
    std::string mParent{};
    std::string mTargetParent{};
    std::vector<Key<point3ds>> mPosition{};
    std::vector<Key<point3ds>> mColor{};
    std::vector<Key<float>> mHotspot{};
    std::vector<Key<point3ds>> mTargetPosition{};
};

struct CameraNode {
    std::string mName{};
    std::string mParent{};
    std::string mTargetParent{};
    std::vector<Key<point3ds>> mPosition{};
    std::vector<Key<float>> mFov{};
    std::vector<Key<float>> mRoll{};
    std::vector<Key<point3ds>> mTargetPosition{};
};

// A cube of 8 vertices at +-1 and 12 faces, two per side; the masks give
// each side's smoothing group (none: no smoothing groups at all).
inline Mesh Box(const std::string& name, const std::vector<std::uint32_t>& sideGroups = {}) {
    Mesh box;
    box.mName = name;
    for (int index = 0; index < 8; ++index) {
        box.mVertices.push_back({index & 1 ? 1.0f : -1.0f, index & 2 ? 1.0f : -1.0f, index & 4 ? 1.0f : -1.0f});
    }
    const std::uint16_t sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                       {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (int side = 0; side < 6; ++side) {
        const std::uint16_t* q = sides[side];
        box.mFaces.push_back({q[0], q[1], q[2]});
        box.mFaces.push_back({q[2], q[3], q[0]});
        if (!sideGroups.empty()) {
            box.mSmoothing.push_back(sideGroups[static_cast<std::size_t>(side)]);
            box.mSmoothing.push_back(sideGroups[static_cast<std::size_t>(side)]);
        }
    }
    return box;
}

template <std::size_t N>
void SetName(char (&field)[N], const std::string& name) {
    const std::size_t length = name.size() < N - 1 ? name.size() : N - 1;
    std::memcpy(field, name.data(), length);
    field[length] = '\0';
}

template <class Value>
void FillTrack(kftrack3ds<Value>& track, const std::vector<Key<Value>>& keys) {
    for (std::size_t index = 0; index < keys.size() && index < track.keycount; ++index) {
        keyheader3ds& header = track.keys[index];
        header.frame = keys[index].mFrame;
        header.splineflags = keys[index].mFlags;
        header.tension = keys[index].mTension;
        header.continuity = keys[index].mContinuity;
        header.bias = keys[index].mBias;
        track.values[index] = keys[index].mValue;
    }
}

template <class Value>
std::uint32_t CountOf(const std::vector<Key<Value>>& keys) {
    return static_cast<std::uint32_t>(keys.size());
}

// A new mesh file's database; Write puts it into a file.
class File {
public:
    File() {
        InitDatabase3ds(&mDatabase);
        CreateNewDatabase3ds(mDatabase, DatabaseMeshFile3ds);
        Check();
    }
    ~File() { ReleaseDatabase3ds(&mDatabase); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // False once any step failed in the toolkit.
    bool Ok() const { return mOk; }
    database3ds* Database() { return mDatabase; }

    File& Settings(float masterScale, color3ds ambient = {0.0f, 0.0f, 0.0f}) {
        meshsettings3ds* settings = nullptr;
        InitMeshSet3ds(&settings);
        settings->masterscale = masterScale;
        settings->ambientlight = ambient;
        PutMeshSet3ds(mDatabase, settings);
        ReleaseMeshSet3ds(&settings);
        return Check();
    }

    File& SolidBackground(color3ds color) {
        background3ds* background = nullptr;
        InitBackground3ds(&background);
        background->solid = color;
        background->used = BackgroundSolid3ds;
        PutBackground3ds(mDatabase, background);
        ReleaseBackground3ds(&background);
        return Check();
    }

    File& Add(const Mesh& source) {
        const std::uint8_t extras = source.mUVs.empty() ? 0 : MeshFieldTexVerts3ds;
        mesh3ds* mesh = nullptr;
        InitMeshObj3ds(&mesh, static_cast<std::uint16_t>(source.mVertices.size()),
                       static_cast<std::uint16_t>(source.mFaces.size()),
                       static_cast<std::uint8_t>(extras | (source.mSmoothing.empty() ? 0 : MeshFieldSmoothGroups3ds)));
        SetName(mesh->name, source.mName);
        for (std::size_t index = 0; index < source.mVertices.size(); ++index) {
            mesh->vertices[index] = source.mVertices[index];
        }
        for (std::size_t index = 0; index < source.mFaces.size(); ++index) {
            mesh->faces[index] = {source.mFaces[index][0], source.mFaces[index][1], source.mFaces[index][2], 7};
            if (!source.mSmoothing.empty()) {
                mesh->smoothgroups[index] = source.mSmoothing[index];
            }
        }
        for (std::size_t index = 0; index < source.mUVs.size() && index < mesh->texvertcount; ++index) {
            mesh->texverts[index] = source.mUVs[index];
        }
        std::memcpy(mesh->localmatrix, source.mLocal.data(), sizeof mesh->localmatrix);
        mesh->matgroupcount = static_cast<std::uint16_t>(source.mGroups.size());
        InitMeshObjField3ds(mesh, MeshFieldMatGroups3ds);
        for (std::uint16_t group = 0; group < mesh->matgroupcount; ++group) {
            const auto& [name, faces] = source.mGroups[group];
            SetName(mesh->matgroups[group].name, name);
            mesh->matgroups[group].facecount = static_cast<std::uint16_t>(faces.size());
            InitMatArrayIndex3ds(mesh, group, static_cast<std::uint16_t>(faces.size()));
            for (std::size_t index = 0; index < faces.size(); ++index) {
                mesh->matgroups[group].faces[index] = faces[index];
            }
        }
        PutMesh3ds(mDatabase, mesh);
        ReleaseMeshObj3ds(&mesh);
        return Check();
    }

    File& Material(const std::string& name, const std::function<void(material3ds&)>& fill = {}) {
        material3ds* material = nullptr;
        InitMaterial3ds(&material);
        SetName(material->name, name);
        material->diffuse = {0.5f, 0.5f, 0.5f};
        if (fill) {
            fill(*material);
        }
        PutMaterial3ds(mDatabase, material);
        ReleaseMaterial3ds(&material);
        return Check();
    }

    File& Omni(const std::string& name, point3ds position, color3ds color = {1.0f, 1.0f, 1.0f},
               float multiplier = 1.0f) {
        light3ds* light = nullptr;
        InitLight3ds(&light);
        SetName(light->name, name);
        light->position = position;
        light->color = color;
        light->multiplier = multiplier;
        PutLight3ds(mDatabase, light);
        ReleaseLight3ds(&light);
        return Check();
    }

    File& Spot(const std::string& name, point3ds position, point3ds target, float hotspot = 30.0f,
               const char* projector = nullptr) {
        light3ds* light = nullptr;
        InitSpotlight3ds(&light);
        SetName(light->name, name);
        light->position = position;
        light->spot->target = target;
        light->spot->hotspot = hotspot;
        light->spot->falloff = hotspot + 5.0f;
        if (projector != nullptr) {
            light->spot->projector = 1;
            light->spot->projectorname = StrDup3ds(projector);
        }
        PutLight3ds(mDatabase, light);
        ReleaseLight3ds(&light);
        return Check();
    }

    File& Camera(const std::string& name, point3ds position, point3ds target, float fov = 45.0f) {
        camera3ds* camera = nullptr;
        InitCamera3ds(&camera);
        SetName(camera->name, name);
        camera->position = position;
        camera->target = target;
        camera->fov = fov;
        PutCamera3ds(mDatabase, camera);
        ReleaseCamera3ds(&camera);
        return Check();
    }

    File& Add(const ObjectNode& node) {
        kfmesh3ds* motion = nullptr;
        InitObjectMotion3ds(&motion, CountOf(node.mPosition), CountOf(node.mRotation), CountOf(node.mScale), 0, 0);
        SetName(motion->name, node.mName);
        SetName(motion->instance, node.mInstance);
        SetName(motion->parent, node.mParent);
        motion->pivot = node.mPivot;
        FillTrack(motion->position, node.mPosition);
        FillTrack(motion->rotation, node.mRotation);
        FillTrack(motion->scale, node.mScale);
        PutObjectMotion3ds(mDatabase, motion);
        ReleaseObjectMotion3ds(&motion);
        return Check();
    }

    File& Add(const OmniNode& node) {
        kfomni3ds* motion = nullptr;
        InitOmnilightMotion3ds(&motion, CountOf(node.mPosition), CountOf(node.mColor));
        SetName(motion->name, node.mName);
        SetName(motion->parent, node.mParent);
        FillTrack(motion->position, node.mPosition);
        FillTrack(motion->color, node.mColor);
        PutOmnilightMotion3ds(mDatabase, motion);
        ReleaseOmnilightMotion3ds(&motion);
        return Check();
    }

    File& Add(const SpotNode& node) {
        kfspot3ds* motion = nullptr;
        InitSpotlightMotion3ds(&motion, CountOf(node.mPosition), CountOf(node.mColor), CountOf(node.mHotspot), 0, 0,
                               CountOf(node.mTargetPosition));
        SetName(motion->name, node.mName);
        SetName(motion->parent, node.mParent);
        SetName(motion->targetparent, node.mTargetParent);
        FillTrack(motion->position, node.mPosition);
        FillTrack(motion->color, node.mColor);
        FillTrack(motion->hotspot, node.mHotspot);
        FillTrack(motion->targetposition, node.mTargetPosition);
        PutSpotlightMotion3ds(mDatabase, motion);
        ReleaseSpotlightMotion3ds(&motion);
        return Check();
    }

    File& Add(const CameraNode& node) {
        kfcamera3ds* motion = nullptr;
        InitCameraMotion3ds(&motion, CountOf(node.mPosition), CountOf(node.mFov), CountOf(node.mRoll),
                            CountOf(node.mTargetPosition));
        SetName(motion->name, node.mName);
        SetName(motion->parent, node.mParent);
        SetName(motion->targetparent, node.mTargetParent);
        FillTrack(motion->position, node.mPosition);
        FillTrack(motion->fov, node.mFov);
        FillTrack(motion->roll, node.mRoll);
        FillTrack(motion->targetposition, node.mTargetPosition);
        PutCameraMotion3ds(mDatabase, motion);
        ReleaseCameraMotion3ds(&motion);
        return Check();
    }

    File& Frames(std::uint32_t length) {
        KfSets3ds* settings = nullptr;
        InitKfSets3ds(&settings);
        settings->animlength = length;
        PutKfSets3ds(mDatabase, settings);
        ReleaseKfSets3ds(&settings);
        return Check();
    }

    // Writes the file; false when any step failed.
    bool Write(const std::string& path) {
        if (!mOk) {
            return false;
        }
        file3ds* file = OpenFile3ds(path.c_str(), "wb");
        if (file == nullptr) {
            return false;
        }
        WriteDatabase3ds(file, mDatabase);
        Check();
        CloseFile3ds(file);
        return Check().mOk;
    }

private:
    File& Check() {
        if (FtkErrorStops()) {
            mOk = false;
        }
        return *this;
    }

    database3ds* mDatabase = nullptr;
    bool mOk = true;
};

// A scene of every kind of record with keys: a textured box with smoothing
// groups, its material, an omni light, a spot light and a camera with their
// targets, all animated over a few frames.
inline bool WriteRichScene(const std::string& path) {
    File file;
    Mesh box = Box("Box", {1, 2, 4, 8, 16, 32});
    box.mUVs.assign(8, texvertex3ds{0.25f, 0.75f});
    box.mGroups.push_back({"Red", {0, 1, 2, 3, 4, 5}});
    file.Settings(1.0f, {0.1f, 0.2f, 0.3f}).Add(box);
    file.Material("Red", [](material3ds& material) {
        material.diffuse = {1.0f, 0.0f, 0.0f};
        material.shininess = 0.3f;
        SetName(material.texture.name, "red.tga");
        material.texture.percent = 1.0f;
    });
    file.Omni("Lamp", {0.0f, 0.0f, 5.0f}).Spot("Spot", {5.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
    file.Camera("Cam", {0.0f, -10.0f, 2.0f}, {0.0f, 0.0f, 0.0f});
    ObjectNode node{"Box", "", "", {0.0f, 0.0f, 0.0f}, {{0, {0, 0, 0}}, {10, {1, 2, 3}}},
                    {{0, {0.0f, 0.0f, 0.0f, 1.0f}}, {10, {0.5f, 0.0f, 0.0f, 1.0f}}}, {{0, {1, 1, 1}}}};
    file.Add(node);
    file.Add(OmniNode{"Lamp", "", {{0, {0, 0, 5}}, {10, {0, 1, 5}}}, {{0, {1, 1, 1}}, {10, {1, 0, 0}}}});
    file.Add(SpotNode{"Spot", "", "", {{0, {5, 0, 5}}}, {{0, {1, 1, 1}}}, {{0, 30.0f}, {10, 40.0f}}, {{0, {0, 0, 0}}}});
    file.Add(CameraNode{"Cam", "", "", {{0, {0, -10, 2}}, {10, {0, -12, 2}}}, {{0, 45.0f}}, {{0, 0.0f}}, {{0, {0, 0, 0}}}});
    file.Frames(10);
    return file.Write(path);
}

// The smallest scene with every kind of record and keys: a textured quad
// with two smoothing groups and a second instance under the first, its
// material, a spot light and a camera with their targets.
inline bool WriteSmallScene(const std::string& path) {
    File file;
    Mesh quad;
    quad.mName = "Quad";
    quad.mVertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}};
    quad.mFaces = {{0, 1, 2}, {2, 3, 0}};
    quad.mSmoothing = {1, 2};
    quad.mUVs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    quad.mGroups.push_back({"Red", {0}});
    file.Add(quad).Material("Red", [](material3ds& material) { SetName(material.texture.name, "red.tga"); });
    file.Spot("Spot", {5, 0, 5}, {0, 0, 0}).Camera("Cam", {0, -10, 2}, {0, 0, 0});
    file.Add(ObjectNode{.mName = "Quad", .mPosition = {{0, {0, 0, 0}}, {10, {1, 2, 3}}},
                        .mRotation = {{0, {0.5f, 0, 0, 1}}, {10, {0.5f, 1, 0, 0}}}});
    file.Add(ObjectNode{.mName = "Quad", .mInstance = "B", .mParent = "Quad", .mPivot = {1, 1, 1}});
    file.Add(SpotNode{.mName = "Spot", .mHotspot = {{0, 30.0f}, {10, 40.0f}}, .mTargetPosition = {{0, {0, 0, 1}}}});
    file.Add(CameraNode{.mName = "Cam", .mParent = "Quad", .mPosition = {{0, {0, -10, 2}}, {5, {0, -12, 2}}}});
    return file.Write(path);
}

// One mesh instanced by many keyframer nodes, every other one under the one
// before: the reader shares the mesh among them.
inline bool WriteInstancedScene(const std::string& path, int instances) {
    File file;
    Mesh quad;
    quad.mName = "Quad";
    quad.mVertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}};
    quad.mFaces = {{0, 1, 2}, {2, 3, 0}};
    file.Add(quad);
    file.Add(ObjectNode{.mName = "Quad", .mPosition = {{0, {0, 0, 0}}}});
    std::string parent = "Quad";
    for (int index = 0; index < instances; ++index) {
        const std::string instance = "I" + std::to_string(index);
        file.Add(ObjectNode{.mName = "Quad", .mInstance = instance, .mParent = parent, .mPosition = {{0, {1, 0, 0}}}});
        parent = index % 2 == 0 ? "Quad." + instance : parent;
    }
    return file.Write(path);
}

// A file laid out chunk by chunk through the toolkit's value writers, the way
// other programs write theirs: names as long as they like, colours as floats,
// percentages as float fractions. Begin and End bracket a chunk.
class ChunkStream {
public:
    explicit ChunkStream(const std::string& path) : mFile(OpenFile3ds(path.c_str(), "wb")) {
        if (mFile != nullptr) {
            SetCurrentFile3ds(mFile);
        }
    }
    ~ChunkStream() { Close(); }
    ChunkStream(const ChunkStream&) = delete;
    ChunkStream& operator=(const ChunkStream&) = delete;

    ChunkStream& Begin(std::uint32_t tag) {
        mStarts.push_back(GetFilePosition3ds());
        WriteHeader3ds(tag, 0);
        return *this;
    }
    ChunkStream& End() {
        if (!mStarts.empty()) {
            FinishHeader3ds(mStarts.back(), GetFilePosition3ds());
            mStarts.pop_back();
        }
        return *this;
    }
    ChunkStream& Name(const std::string& text) {
        WriteString3ds(text.c_str());
        return *this;
    }
    ChunkStream& Word(std::uint16_t value) {
        WriteWord3ds(value);
        return *this;
    }
    ChunkStream& Dword(std::uint32_t value) {
        WriteDword3ds(value);
        return *this;
    }
    ChunkStream& Floats(std::initializer_list<float> values) {
        for (float value : values) {
            WriteFloat3ds(value);
        }
        return *this;
    }
    // A chunk holding one float colour or one float fraction.
    ChunkStream& Holder(std::uint32_t tag, std::uint32_t valueTag, std::initializer_list<float> values) {
        return Begin(tag).Begin(valueTag).Floats(values).End().End();
    }
    // True when every chunk was closed and the toolkit took every write.
    bool Close() {
        const bool ok = mFile != nullptr && mStarts.empty() && !FtkErrorPending;
        if (mFile != nullptr) {
            CloseFile3ds(mFile);
            mFile = nullptr;
        }
        return ok;
    }

private:
    file3ds* mFile = nullptr;
    std::vector<std::int64_t> mStarts;
};

// What another program's file of one mesh holds.
struct OtherProgramScene {
    std::string mObject = "A_Rather_Long_Object_Name_01";
    std::string mMaterial = "A_Material_Name_Of_Thirty_Chars";
    std::string mTexture = "textures/sand_dune_diffuse_map.png";
    color3ds mDiffuse{0.2f, 0.4f, 0.6f};
    color3ds mSpecular{0.25f, 0.5f, 0.75f};  // stored in linear form only
    float mTransparency = 0.3f;
    float mShininess = 0.45f;
    // Where the mesh matrix puts the object (its rows are the identity's).
    point3ds mOrigin{10.0f, 3.0f, 0.0f};
    bool mKeyframer = true;
};

// One triangle (0,0,0), (2,0,0), (0,4,3) in world coordinates, written as
// such programs write it: MESH_MATRIX with the object's origin, material
// colours in COLOR_F and LIN_COLOR_F, float percentages, and a keyframer node
// whose NODE_HDR and position key carry the same long name and origin.
inline bool WriteOtherProgramScene(const std::string& path, const OtherProgramScene& scene) {
    ChunkStream out(path);
    out.Begin(M3DMAGIC).Begin(M3D_VERSION).Dword(3).End();
    out.Begin(MDATA).Begin(MESH_VERSION).Dword(3).End();
    out.Begin(MAT_ENTRY).Begin(MAT_NAME).Name(scene.mMaterial).End();
    out.Holder(MAT_AMBIENT, COLOR_F, {0.1f, 0.1f, 0.1f});
    out.Holder(MAT_DIFFUSE, COLOR_F, {scene.mDiffuse.red, scene.mDiffuse.green, scene.mDiffuse.blue});
    out.Holder(MAT_SPECULAR, LIN_COLOR_F, {scene.mSpecular.red, scene.mSpecular.green, scene.mSpecular.blue});
    out.Holder(MAT_SHININESS, FLOAT_PERCENTAGE, {scene.mShininess});
    out.Holder(MAT_TRANSPARENCY, FLOAT_PERCENTAGE, {scene.mTransparency});
    out.Begin(MAT_TEXMAP).Begin(FLOAT_PERCENTAGE).Floats({1.0f}).End();
    out.Begin(MAT_MAPNAME).Name(scene.mTexture).End().End();
    out.End();
    out.Begin(MASTER_SCALE).Floats({1.0f}).End();
    out.Begin(NAMED_OBJECT).Name(scene.mObject).Begin(N_TRI_OBJECT);
    const point3ds& o = scene.mOrigin;
    out.Begin(POINT_ARRAY).Word(3).Floats({0, 0, 0, 2, 0, 0, 0, 4, 3}).End();
    out.Begin(MESH_MATRIX).Floats({1, 0, 0, 0, 1, 0, 0, 0, 1, o.x, o.y, o.z}).End();
    out.Begin(FACE_ARRAY).Word(1).Word(0).Word(1).Word(2).Word(0);
    out.Begin(MSH_MAT_GROUP).Name(scene.mMaterial).Word(1).Word(0).End();
    out.End();
    out.End().End();
    out.End();
    if (scene.mKeyframer) {
        out.Begin(KFDATA).Begin(KFHDR).Word(5).Name("scene").Dword(100).End();
        out.Begin(KFSEG).Dword(0).Dword(100).End();
        out.Begin(OBJECT_NODE_TAG).Begin(NODE_ID).Word(0).End();
        out.Begin(NODE_HDR).Name(scene.mObject).Word(0).Word(0).Word(0xFFFF).End();
        out.Begin(PIVOT).Floats({0, 0, 0}).End();
        out.Begin(POS_TRACK_TAG).Word(0).Dword(0).Dword(0).Dword(1).Dword(0).Word(0).Floats({o.x, o.y, o.z}).End();
        out.Begin(ROT_TRACK_TAG).Word(0).Dword(0).Dword(0).Dword(1).Dword(0).Word(0).Floats({0, 0, 0, 1}).End();
        out.Begin(SCL_TRACK_TAG).Word(0).Dword(0).Dword(0).Dword(1).Dword(0).Word(0).Floats({1, 1, 1}).End();
        out.End().End();
    }
    out.End();
    return out.Close();
}

}  // namespace fbxsdk_2006_11_1::scene3ds

#endif
