// The 3DS file toolkit: everything a reader or writer of 3DS files needs.
//
// Conventions. Routines return no status: a failure is recorded in the error
// list (Error3ds.h) and the routine returns; callers test FtkErrorStops()
// after each call and give up while it is true. Records are made by an
// Init...3ds routine and freed by the matching Release...3ds routine, both
// taking the address of the caller's pointer; records own their texts and
// arrays, which come from the toolkit heap (Memory3ds.h). The error list and
// the open files belong to the calling thread's current context
// (ToolkitContext3ds.h).
//
// Reading a file:  OpenFile3ds(name, "rb"); InitDatabase3ds(&db);
//                  CreateDatabase3ds(file, db); ... the record getters
//                  (Get...Count3ds and Get...ByIndex3ds of meshes, materials,
//                  cameras, lights and motions; GetMeshSet3ds,
//                  GetBackground3ds) ...;
//                  ReleaseDatabase3ds(&db); CloseFile3ds(file).
// Writing a file:  OpenFile3ds(name, "wb"); InitDatabase3ds(&db);
//                  CreateNewDatabase3ds(db, DatabaseMeshFile3ds); ... the put
//                  routines (Put...3ds of every record, PutKfSets3ds) ...;
//                  WriteDatabase3ds(file, db);
//                  ReleaseDatabase3ds(&db); CloseFile3ds(file).
#ifndef FBXFILESDK_3DSFTK_TOOLKIT3DS_H
#define FBXFILESDK_3DSFTK_TOOLKIT3DS_H

#include <fbxfilesdk/3dsftk/Background3ds.h>
#include <fbxfilesdk/3dsftk/Camera3ds.h>
#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/ChunkData3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/ChunkTags3ds.h>
#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/Error3ds.h>
#include <fbxfilesdk/3dsftk/File3ds.h>
#include <fbxfilesdk/3dsftk/Keyframer3ds.h>
#include <fbxfilesdk/3dsftk/Light3ds.h>
#include <fbxfilesdk/3dsftk/Material3ds.h>
#include <fbxfilesdk/3dsftk/Memory3ds.h>
#include <fbxfilesdk/3dsftk/Mesh3ds.h>
#include <fbxfilesdk/3dsftk/MeshSettings3ds.h>
#include <fbxfilesdk/3dsftk/Motion3ds.h>
#include <fbxfilesdk/3dsftk/NameLists3ds.h>
#include <fbxfilesdk/3dsftk/NodeHierarchy3ds.h>
#include <fbxfilesdk/3dsftk/Primitives3ds.h>
#include <fbxfilesdk/3dsftk/ToolkitContext3ds.h>

#endif
