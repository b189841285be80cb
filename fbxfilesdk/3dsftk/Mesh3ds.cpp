#include <fbxfilesdk/3dsftk/Mesh3ds.h>

#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/RecordSupport3ds.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace fbxsdk_2006_11_1 {

using namespace ftk3ds;

namespace {

constexpr std::uint32_t kObjectFlags[] = {OBJ_HIDDEN, OBJ_VIS_LOFTER, OBJ_MATTE, OBJ_DOESNT_CAST,
                                          OBJ_FAST,   OBJ_DONT_RCVSHADOW, OBJ_FROZEN};

std::uint8_t mesh3ds::*const kObjectFlagFields[] = {&mesh3ds::hidden, &mesh3ds::vislofter, &mesh3ds::matte,
                                                     &mesh3ds::nocast, &mesh3ds::fast,     &mesh3ds::norcvshadow,
                                                     &mesh3ds::frozen};

void FreeGroups(mesh3ds& mesh) {
    for (std::uint16_t i = 0; i < mesh.allocated.matgroups; ++i) FtkFree(mesh.matgroups[i].faces);
    FtkFree(mesh.matgroups);
    mesh.matgroups = nullptr;
    mesh.allocated.matgroups = 0;
}

// Sizes an array to count entries: freed for 0; else resized with the old
// entries kept and the new ones set by fill; false when memory runs out.
template <class T, class Count, class Fill>
bool SizeArray(T*& array, Count& allocated, Count count, Fill fill) {
    if (count == 0) {
        FtkFree(array);
        array = nullptr;
        allocated = 0;
        return true;
    }
    if (array == nullptr) allocated = 0;
    auto* sized = static_cast<T*>(ReAlloc3ds(__FILE__, __LINE__, array, static_cast<std::size_t>(count) * sizeof(T)));
    if (sized == nullptr) {
        PushError3ds(ERR_NO_MEM);
        return false;
    }
    for (Count i = allocated; i < count; ++i) fill(sized[i]);
    array = sized;
    allocated = count;
    return true;
}

template <class T>
void Zero(T& item) {
    std::memset(&item, 0, sizeof item);
}

void ResetMesh(mesh3ds& mesh, std::uint16_t vertexcount, std::uint16_t facecount) {
    mesh.name[0] = '\0';
    for (auto field : kObjectFlagFields) mesh.*field = 0;
    mesh.vertexcount = vertexcount;
    mesh.facecount = facecount;
    mesh.vflagcount = 0;
    mesh.texvertcount = 0;
    mesh.usemapinfo = 0;
    mesh.maptype = 0;
    mesh.tilex = mesh.tiley = 1.0f;
    mesh.centerx = mesh.centery = mesh.centerz = 0.0f;
    mesh.scale = 1.0f;
    const float mapmatrix[12] = {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    std::copy(std::begin(mapmatrix), std::end(mapmatrix), mesh.mapmatrix);
    mesh.planarwidth = mesh.planarheight = mesh.cylinderheight = 1.0f;
    std::fill(std::begin(mesh.localmatrix), std::end(mesh.localmatrix), 0.0f);
    mesh.matgroupcount = 0;
    mesh.useboxmap = 0;
    for (auto& name : mesh.boxmap) name[0] = '\0';
    mesh.meshcolor = 0;
    mesh.procdatasize = 0;
    mesh.procname[0] = '\0';
}

bool IndicesFit(const mesh3ds& mesh) {
    if (mesh.faces != nullptr) {
        for (std::uint16_t i = 0; i < mesh.facecount; ++i) {
            const face3ds& face = mesh.faces[i];
            if (face.a >= mesh.vertexcount || face.b >= mesh.vertexcount || face.c >= mesh.vertexcount) return false;
        }
    }
    for (std::uint16_t g = 0; mesh.matgroups != nullptr && g < mesh.matgroupcount; ++g) {
        const meshmatgroup3ds& group = mesh.matgroups[g];
        for (std::uint16_t i = 0; group.faces != nullptr && i < group.facecount; ++i) {
            if (group.faces[i] >= mesh.facecount) return false;
        }
    }
    return true;
}

}  // namespace

void InitMeshObjField3ds(mesh3ds* mesh, std::uint8_t mask) {
    if (mesh == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    mesh3ds& m = *mesh;
    auto& a = m.allocated;
    const bool sized =
        ((mask & MeshFieldVertices3ds) == 0 || SizeArray(m.vertices, a.vertices, m.vertexcount, Zero<point3ds>)) &&
        ((mask & MeshFieldVFlags3ds) == 0 || SizeArray(m.vflags, a.vflags, m.vertexcount, Zero<std::uint16_t>)) &&
        ((mask & MeshFieldTexVerts3ds) == 0 ||
         SizeArray(m.texverts, a.texverts, m.texvertcount, Zero<texvertex3ds>)) &&
        ((mask & MeshFieldFaces3ds) == 0 ||
         SizeArray(m.faces, a.faces, m.facecount, [](face3ds& face) { face = {0, 1, 2, 0}; })) &&
        ((mask & MeshFieldSmoothGroups3ds) == 0 ||
         SizeArray(m.smoothgroups, a.smoothgroups, m.facecount, Zero<std::uint32_t>)) &&
        ((mask & MeshFieldProcData3ds) == 0 ||
         SizeArray(reinterpret_cast<unsigned char*&>(m.procdata), a.procdata, m.procdatasize,
                   Zero<unsigned char>));
    if (!sized || (mask & MeshFieldMatGroups3ds) == 0) return;
    for (std::uint16_t i = m.matgroupcount; i < a.matgroups; ++i) {
        FtkFree(m.matgroups[i].faces);
        m.matgroups[i].faces = nullptr;
    }
    if (m.matgroupcount == 0) {
        FreeGroups(m);
        return;
    }
    SizeArray(m.matgroups, a.matgroups, m.matgroupcount, Zero<meshmatgroup3ds>);
}

void ReleaseMeshObjField3ds(mesh3ds* mesh, std::uint8_t mask) {
    if (mesh == nullptr) return;
    mesh3ds& m = *mesh;
    auto release = [mask](std::uint8_t bit, auto*& array, auto& allocated) {
        if ((mask & bit) == 0) return;
        FtkFree(array);
        array = nullptr;
        allocated = 0;
    };
    release(MeshFieldVertices3ds, m.vertices, m.allocated.vertices);
    release(MeshFieldVFlags3ds, m.vflags, m.allocated.vflags);
    release(MeshFieldTexVerts3ds, m.texverts, m.allocated.texverts);
    release(MeshFieldFaces3ds, m.faces, m.allocated.faces);
    release(MeshFieldSmoothGroups3ds, m.smoothgroups, m.allocated.smoothgroups);
    release(MeshFieldProcData3ds, m.procdata, m.allocated.procdata);
    if ((mask & MeshFieldMatGroups3ds) != 0) FreeGroups(m);
}

void InitMeshObj3ds(mesh3ds** mesh, std::uint16_t vertexcount, std::uint16_t facecount, std::uint8_t extras) {
    if (mesh == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (*mesh == nullptr) {
        *mesh = NewZeroed<mesh3ds>();
        if (*mesh == nullptr) return;
    }
    mesh3ds& m = **mesh;
    ResetMesh(m, vertexcount, facecount);
    if ((extras & MeshFieldTexVerts3ds) != 0) m.texvertcount = vertexcount;
    if ((extras & MeshFieldVFlags3ds) != 0) m.vflagcount = vertexcount;
    // Every array follows its count, so nothing of an earlier mesh is left.
    std::uint8_t fields = 0x7F;
    if ((extras & MeshFieldSmoothGroups3ds) == 0) {
        ReleaseMeshObjField3ds(&m, MeshFieldSmoothGroups3ds);
        fields &= ~MeshFieldSmoothGroups3ds;
    }
    if (m.vflagcount == 0) {
        ReleaseMeshObjField3ds(&m, MeshFieldVFlags3ds);
        fields &= ~MeshFieldVFlags3ds;
    }
    InitMeshObjField3ds(&m, fields);
}

void InitMatArrayIndex3ds(mesh3ds* mesh, std::uint16_t group, std::uint16_t facecount) {
    if (mesh == nullptr || facecount == 0) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (mesh->faces == nullptr || group >= mesh->matgroupcount || group >= mesh->allocated.matgroups) {
        PushError3ds(ERR_INVALID_DATA);
        return;
    }
    meshmatgroup3ds& target = mesh->matgroups[group];
    FtkFree(target.faces);
    target.faces = NewZeroed<std::uint16_t>(facecount);
}

void ReleaseMeshObj3ds(mesh3ds** mesh) {
    if (mesh == nullptr || *mesh == nullptr) return;
    ReleaseMeshObjField3ds(*mesh, 0x7F);
    FtkFree(*mesh);
    *mesh = nullptr;
}

std::uint16_t CountMatGroups3ds(Chunk3ds* chunk) {
    std::uint16_t count = 0;
    for (; chunk != nullptr; chunk = chunk->sibling) {
        if (chunk->tag == MSH_MAT_GROUP) ++count;
    }
    return count;
}

namespace {

void ReadFaceArray(Chunk3ds* faceChunk, mesh3ds& m) {
    auto* faces = DataOf<FaceArrayData3ds>(faceChunk);
    if (faces == nullptr) return;
    ReleaseMeshObjField3ds(&m, MeshFieldFaces3ds | MeshFieldSmoothGroups3ds | MeshFieldMatGroups3ds);
    m.facecount = faces->count;
    m.faces = TakeOver(faces->faces);
    m.allocated.faces = m.faces != nullptr ? m.facecount : 0;

    Chunk3ds* first = NextChild(faceChunk, nullptr, MSH_MAT_GROUP);
    m.matgroupcount = CountMatGroups3ds(first);
    if (m.matgroupcount != 0) {
        m.matgroups = NewZeroed<meshmatgroup3ds>(m.matgroupcount);
        if (m.matgroups == nullptr) return;
        m.allocated.matgroups = m.matgroupcount;
        std::uint16_t index = 0;
        for (Chunk3ds* chunk = first; chunk != nullptr; chunk = NextChild(faceChunk, chunk, MSH_MAT_GROUP)) {
            auto* group = DataOf<MatGroupData3ds>(chunk);
            if (group == nullptr) return;
            meshmatgroup3ds& target = m.matgroups[index++];
            CopyName(target.name, group->name);
            target.facecount = group->count;
            target.faces = TakeOver(group->faces);
        }
    }
    if (Chunk3ds* smooth = NextChild(faceChunk, nullptr, SMOOTH_GROUP)) {
        auto* groups = DataOf<SmoothGroupData3ds>(smooth);
        if (groups == nullptr) return;
        // One mask per face, whatever the chunk held.
        if (groups->count == m.facecount) {
            m.smoothgroups = TakeOver(groups->groups);
            m.allocated.smoothgroups = m.smoothgroups != nullptr ? m.facecount : 0;
        } else if (m.facecount != 0) {
            InitMeshObjField3ds(&m, MeshFieldSmoothGroups3ds);
            if (FtkErrorStops()) return;
            std::copy_n(groups->groups, std::min<std::uint32_t>(groups->count, m.facecount), m.smoothgroups);
        }
    }
    if (Chunk3ds* boxChunk = NextChild(faceChunk, nullptr, MSH_BOXMAP)) {
        auto* box = DataOf<BoxMapData3ds>(boxChunk);
        if (box == nullptr) return;
        m.useboxmap = 1;
        for (int i = 0; i < 6; ++i) CopyName(m.boxmap[i], box->names[i]);
    }
}

// Takes an array and its count over from a chunk's record, in place of the
// field's old array.
template <class Data, class T>
void TakeArray(Chunk3ds* chunk, mesh3ds& m, std::uint8_t field, std::uint16_t& count, T*& array,
               std::uint16_t& allocated, T* Data::*source) {
    Data* data = DataOf<Data>(chunk);
    if (data == nullptr) return;
    ReleaseMeshObjField3ds(&m, field);
    count = data->count;
    array = TakeOver(data->*source);
    allocated = array != nullptr ? count : 0;
}

void ReadMeshChild(Chunk3ds* child, mesh3ds& m) {
    switch (child->tag) {
        case POINT_ARRAY:
            TakeArray(child, m, MeshFieldVertices3ds, m.vertexcount, m.vertices, m.allocated.vertices,
                      &PointArrayData3ds::points);
            break;
        case POINT_FLAG_ARRAY:
            TakeArray(child, m, MeshFieldVFlags3ds, m.vflagcount, m.vflags, m.allocated.vflags,
                      &PointFlagArrayData3ds::flags);
            break;
        case FACE_ARRAY:
            ReadFaceArray(child, m);
            break;
        case TEX_VERTS:
            TakeArray(child, m, MeshFieldTexVerts3ds, m.texvertcount, m.texverts, m.allocated.texverts,
                      &TexVertsData3ds::texverts);
            break;
        case MESH_MATRIX:
            if (const unsigned char* own = nullptr; PeekOwnData(child, sizeof m.localmatrix, &own)) {
                for (std::size_t i = 0; own != nullptr && i < std::size(m.localmatrix); ++i) {
                    m.localmatrix[i] = FloatAt(own + 4 * i);
                }
            } else if (auto* matrix = DataOf<MeshMatrixData3ds>(child)) {
                std::copy(std::begin(matrix->matrix), std::end(matrix->matrix), m.localmatrix);
            }
            break;
        case MESH_COLOR:
            if (const unsigned char* own = nullptr; PeekOwnData(child, 1, &own)) {
                if (own != nullptr) m.meshcolor = own[0];
            } else if (auto* color = DataOf<ByteData3ds>(child)) {
                m.meshcolor = color->value;
            }
            break;
        case MESH_TEXTURE_INFO:
            if (auto* info = DataOf<MeshTextureInfoData3ds>(child)) {
                m.usemapinfo = 1;
                m.maptype = info->maptype;
                m.tilex = info->tilex;
                m.tiley = info->tiley;
                m.centerx = info->iconposition.x;
                m.centery = info->iconposition.y;
                m.centerz = info->iconposition.z;
                m.scale = info->iconscale;
                std::copy(std::begin(info->matrix), std::end(info->matrix), m.mapmatrix);
                m.planarwidth = info->planarwidth;
                m.planarheight = info->planarheight;
                m.cylinderheight = info->cylinderheight;
            }
            break;
        case PROC_NAME:
            CopyNameOf(m.procname, child);
            break;
        case PROC_DATA:
            if (auto* block = DataOf<BlockData3ds>(child)) {
                ReleaseMeshObjField3ds(&m, MeshFieldProcData3ds);
                m.procdatasize = block->size;
                m.procdata = TakeOver(block->data);
                m.allocated.procdata = m.procdata != nullptr ? m.procdatasize : 0;
            }
            break;
        default:
            break;
    }
}

}  // namespace

void GetMeshEntryChunk3ds(Chunk3ds* chunk, mesh3ds** mesh) {
    if (chunk == nullptr || mesh == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (chunk->tag != NAMED_OBJECT || FindChild(chunk, N_TRI_OBJECT) == nullptr) {
        PushError3ds(ERR_WRONG_OBJECT);
        return;
    }
    InitMeshObj3ds(mesh, 0, 0, 0);
    if (FtkErrorStops()) return;
    mesh3ds& m = **mesh;
    // The records are read from a tree let go at the end, so the database
    // keeps nothing loaded here.
    const ReadingTree tree(chunk);
    if (FtkErrorStops()) return;
    CopyNameOf(m.name, tree.Get());
    Chunk3ds* triObject = FindChild(tree.Get(), N_TRI_OBJECT);
    for (Chunk3ds* child = triObject->children; child != nullptr && !FtkErrorStops(); child = child->sibling) {
        ReadMeshChild(child, m);
    }
    if (FtkErrorStops()) return;
    for (std::size_t i = 0; i < std::size(kObjectFlags); ++i) {
        m.*kObjectFlagFields[i] = FindChild(tree.Get(), kObjectFlags[i]) != nullptr ? 1 : 0;
    }
    m.procedural = FindChild(tree.Get(), OBJ_PROCEDURAL) != nullptr ? 1 : 0;
    if (!IndicesFit(m)) PushError3ds(ERR_INVALID_DATA);
}

namespace {

bool HoldsMesh(Chunk3ds* object) {
    Chunk3ds* mesh = nullptr;
    FindChunk3ds(object, N_TRI_OBJECT, &mesh);
    return mesh != nullptr;
}

}  // namespace

std::uint32_t GetMeshCount3ds(database3ds* database) { return CountNamedObjects(database, &HoldsMesh); }

void GetMeshByIndex3ds(database3ds* database, std::uint32_t index, mesh3ds** mesh) {
    if (database == nullptr || mesh == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (TopForPut(database, mesh, PutTarget::MeshOrProject) == nullptr) return;
    if (Chunk3ds* object = NamedObjectAt(database, index, &HoldsMesh)) GetMeshEntryChunk3ds(object, mesh);
}

namespace {

bool MeshIsWritable(const mesh3ds& m) {
    if (!NameFits(m.name, 10)) return false;
    for (std::uint16_t g = 0; m.matgroups != nullptr && g < m.matgroupcount; ++g) {
        if (!NameFits(m.matgroups[g].name, 16)) return false;
    }
    for (int i = 0; m.useboxmap != 0 && i < 6; ++i) {
        if (!NameFits(m.boxmap[i], 16)) return false;
    }
    if (m.procdata != nullptr && !NameFits(m.procname, 12)) return false;
    bool complete = (m.facecount == 0 || m.faces != nullptr) && (m.texvertcount == 0 || m.texverts != nullptr) &&
                    (m.matgroupcount == 0 || m.matgroups != nullptr);
    for (std::uint16_t g = 0; complete && m.matgroups != nullptr && g < m.matgroupcount; ++g) {
        complete = m.matgroups[g].facecount == 0 || m.matgroups[g].faces != nullptr;
    }
    if (!complete || !IndicesFit(m)) {
        PushError3ds(ERR_INVALID_DATA);
        return false;
    }
    return true;
}

// Adds the mesh's chunks under its N_TRI_OBJECT; false after an error.
bool PutTriObject(const mesh3ds& m, Chunk3ds* triObject) {
    auto failed = [] {
        if (!FtkErrorStops()) PushError3ds(ERR_PUT_FAILED);
        return false;
    };
    if (m.vertexcount > 0 && m.vertices != nullptr) {
        auto* points = AddRecordChunk<PointArrayData3ds>(POINT_ARRAY, triObject);
        if (points == nullptr) return failed();
        points->count = m.vertexcount;
        points->points = DuplicateArray(m.vertices, m.vertexcount);
    }
    if (m.texvertcount != 0) {
        auto* texverts = AddRecordChunk<TexVertsData3ds>(TEX_VERTS, triObject);
        if (texverts == nullptr) return failed();
        texverts->count = m.texvertcount;
        texverts->texverts = DuplicateArray(m.texverts, m.texvertcount);
    }
    if (m.usemapinfo != 0) {
        auto* info = AddRecordChunk<MeshTextureInfoData3ds>(MESH_TEXTURE_INFO, triObject);
        if (info == nullptr) return failed();
        info->maptype = m.maptype;
        info->tilex = m.tilex;
        info->tiley = m.tiley;
        info->iconposition = {m.centerx, m.centery, m.centerz};
        info->iconscale = m.scale;
        std::copy(std::begin(m.mapmatrix), std::end(m.mapmatrix), info->matrix);
        info->planarwidth = m.planarwidth;
        info->planarheight = m.planarheight;
        info->cylinderheight = m.cylinderheight;
    }
    if (m.vflagcount > 0 && m.vflags != nullptr) {
        auto* flags = AddRecordChunk<PointFlagArrayData3ds>(POINT_FLAG_ARRAY, triObject);
        if (flags == nullptr) return failed();
        flags->count = m.vflagcount;
        flags->flags = DuplicateArray(m.vflags, m.vflagcount);
    }
    auto* matrix = AddRecordChunk<MeshMatrixData3ds>(MESH_MATRIX, triObject);
    if (matrix == nullptr) return failed();
    std::copy(std::begin(m.localmatrix), std::end(m.localmatrix), matrix->matrix);
    auto* color = AddRecordChunk<ByteData3ds>(MESH_COLOR, triObject);
    if (color == nullptr) return failed();
    color->value = m.meshcolor;
    if (m.facecount != 0) {
        Chunk3ds* faceChunk = nullptr;
        auto* faces = AddRecordChunk<FaceArrayData3ds>(FACE_ARRAY, triObject, &faceChunk);
        if (faces == nullptr) return failed();
        faces->count = m.facecount;
        faces->faces = DuplicateArray(m.faces, m.facecount);
        for (std::uint16_t g = 0; m.matgroups != nullptr && g < m.matgroupcount; ++g) {
            auto* group = AddRecordChunk<MatGroupData3ds>(MSH_MAT_GROUP, faceChunk);
            if (group == nullptr) return failed();
            group->name = StrDup3ds(m.matgroups[g].name);
            group->count = m.matgroups[g].facecount;
            group->faces = DuplicateArray(m.matgroups[g].faces, group->count);
        }
        if (m.smoothgroups != nullptr) {
            auto* smooth = AddRecordChunk<SmoothGroupData3ds>(SMOOTH_GROUP, faceChunk);
            if (smooth == nullptr) return failed();
            smooth->count = m.facecount;
            smooth->groups = DuplicateArray(m.smoothgroups, m.facecount);
        }
        if (m.useboxmap != 0) {
            auto* box = AddRecordChunk<BoxMapData3ds>(MSH_BOXMAP, faceChunk);
            if (box == nullptr) return failed();
            for (int i = 0; i < 6; ++i) box->names[i] = StrDup3ds(m.boxmap[i]);
        }
    }
    if (m.procdata != nullptr && m.procdatasize != 0) {
        AddTextChunk(PROC_NAME, m.procname, triObject);
        auto* block = AddRecordChunk<BlockData3ds>(PROC_DATA, triObject);
        if (block == nullptr) return failed();
        block->size = m.procdatasize;
        block->data = DuplicateBlock(m.procdata, m.procdatasize);
    }
    return !FtkErrorStops();
}

}  // namespace

void PutMesh3ds(database3ds* database, const mesh3ds* mesh) {
    Chunk3ds* top = TopForPut(database, mesh, PutTarget::MeshOrProject);
    if (top == nullptr || !MeshIsWritable(*mesh)) return;
    const mesh3ds& m = *mesh;
    Chunk3ds* mdata = FindOrAdd(top, MDATA);
    if (FtkErrorStops()) return;
    ChunkTreeOwner xdata;
    Chunk3ds* object = ClearNamedObject(database, m.name, &xdata.chunk, true);
    if (FtkErrorStops()) return;
    ListedChunk listed(database, NameList3ds::Objects, m.name);
    if (object == nullptr) object = listed.Add(NAMED_OBJECT, mdata);
    if (FtkErrorStops() || object == nullptr) return;
    auto* name = static_cast<TextData3ds*>(InitChunkData3ds(object));
    if (name == nullptr) {
        PushError3ds(ERR_PUT_FAILED);
        return;
    }
    name->text = StrDup3ds(m.name);
    Chunk3ds* triObject = AddChildChunk3ds(N_TRI_OBJECT, object);
    if (FtkErrorStops() || !PutTriObject(m, triObject)) return;
    for (std::size_t i = 0; i < std::size(kObjectFlags); ++i) {
        if (m.*kObjectFlagFields[i] != 0) AddFlagChunk(kObjectFlags[i], object);
    }
    if (m.procedural == 1 && m.procdata != nullptr) AddFlagChunk(OBJ_PROCEDURAL, object);
    if (xdata.chunk != nullptr && !FtkErrorStops()) {
        AddChildOrdered3ds(triObject, xdata.chunk);
        xdata.chunk = nullptr;
    }
}

}  // namespace fbxsdk_2006_11_1
