#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>

#include <fbxfilesdk/core/KFbxFileFormatRegistryUsers.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// The text after the last dot of the last path element; the whole text when
// it has no dot.
const char* ExtensionOf(const char* extensionOrFileName) {
    const char* slash = std::strrchr(extensionOrFileName, '/');
    const char* name = slash != nullptr ? slash + 1 : extensionOrFileName;
    const char* dot = std::strrchr(name, '.');
    return dot != nullptr ? dot + 1 : name;
}

bool SameTextNoCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace

KFbxFileFormatRegistry::KFbxFileFormatRegistry() {
    RegisterReader(eFBX_READER, "fbx", "FBX (*.fbx)", &CreateFbxReader);
    RegisterReader(eDXF_READER, "dxf", "Drawing Exchange DXF (*.dxf)", nullptr);
    RegisterReader(e3DS_READER, "3ds", "3D Studio 3DS (*.3ds)", nullptr);
    RegisterReader(eOBJ_READER, "obj", "Wavefront OBJ (*.obj)", nullptr);
    RegisterReader(eCOLLADA_READER, "dae", "Collada DAE (*.dae)", nullptr);
    RegisterReader(eFBX5_READER, "fbx", "FBX 5.0 (*.fbx)", &CreateFbx5Reader);
    RegisterWriter(eFBX_BINARY_WRITER, "fbx", "FBX binary (*.fbx)", &CreateFbxWriter, 0);
    RegisterWriter(eFBX_ASCII_WRITER, "fbx", "FBX ascii (*.fbx)", &CreateFbxWriter, 1);
    RegisterWriter(eFBX_ENCRYPTED_WRITER, "fbx", "FBX encrypted (*.fbx)", &CreateFbxWriter, 2);
    RegisterWriter(eFBX5_BINARY_WRITER, "fbx", "FBX 5.0 binary (*.fbx)", &CreateFbxWriter, 3);
    RegisterWriter(eFBX5_ASCII_WRITER, "fbx", "FBX 5.0 ascii (*.fbx)", &CreateFbxWriter, 4);
    RegisterWriter(eDXF_WRITER, "dxf", "Drawing Exchange DXF (*.dxf)", nullptr);
    RegisterWriter(e3DS_WRITER, "3ds", "3D Studio 3DS (*.3ds)", nullptr);
    RegisterWriter(eOBJ_WRITER, "obj", "Wavefront OBJ (*.obj)", nullptr);
    RegisterWriter(eCOLLADA_WRITER, "dae", "Collada DAE (*.dae)", nullptr);
}

KFbxFileFormatRegistry& KFbxFileFormatRegistry::Get() {
    static KFbxFileFormatRegistry registry;
    return registry;
}

void KFbxFileFormatRegistry::AddRef() {
    Get();
    KFbxFileFormatRegistryAddRef();
}

void KFbxFileFormatRegistry::Release() { KFbxFileFormatRegistryRelease(); }

bool KFbxFileFormatRegistry::Put(std::vector<Entry>& entries, const Entry& entry) {
    if (entry.mId < 0) {
        return false;
    }
    auto place = std::lower_bound(entries.begin(), entries.end(), entry.mId,
                                  [](const Entry& known, int id) { return known.mId < id; });
    if (place != entries.end() && place->mId == entry.mId) {
        *place = entry;
    } else {
        entries.insert(place, entry);
    }
    return true;
}

const KFbxFileFormatRegistry::Entry* KFbxFileFormatRegistry::Find(const std::vector<Entry>& entries, int id) {
    for (const Entry& entry : entries) {
        if (entry.mId == id) {
            return &entry;
        }
    }
    return nullptr;
}

int KFbxFileFormatRegistry::FindByExtension(const std::vector<Entry>& entries, const char* extensionOrFileName) {
    if (extensionOrFileName == nullptr) {
        return -1;
    }
    const char* extension = ExtensionOf(extensionOrFileName);
    for (const Entry& entry : entries) {
        if (SameTextNoCase(entry.mExtension.Buffer(), extension)) {
            return entry.mId;
        }
    }
    return -1;
}

KFbxFileFormatRegistry::Entry KFbxFileFormatRegistry::MakeEntry(int id, const char* extension,
                                                                  const char* description, int subFormat) {
    Entry entry;
    entry.mId = id;
    entry.mExtension = KString(extension);
    entry.mDescription = KString(description != nullptr ? description : "");
    entry.mSubFormat = subFormat;
    return entry;
}

bool KFbxFileFormatRegistry::RegisterReader(int id, const char* extension, const char* description,
                                            KFbxReaderCreateFn create, int subFormat) {
    if (extension == nullptr) {
        return false;
    }
    Entry entry = MakeEntry(id, extension, description, subFormat);
    entry.mReaderCreate = create;
    std::lock_guard<std::mutex> lock(mMutex);
    return Put(mReaders, entry);
}

bool KFbxFileFormatRegistry::RegisterWriter(int id, const char* extension, const char* description,
                                            KFbxWriterCreateFn create, int subFormat) {
    if (extension == nullptr) {
        return false;
    }
    Entry entry = MakeEntry(id, extension, description, subFormat);
    entry.mWriterCreate = create;
    std::lock_guard<std::mutex> lock(mMutex);
    return Put(mWriters, entry);
}

template <class Fn>
bool KFbxFileFormatRegistry::SetCreateFn(std::vector<Entry>& entries, int id, Fn Entry::*field, Fn create) {
    std::lock_guard<std::mutex> lock(mMutex);
    for (Entry& entry : entries) {
        if (entry.mId == id) {
            entry.*field = create;
            return true;
        }
    }
    return false;
}

bool KFbxFileFormatRegistry::SetReaderCreateFn(int id, KFbxReaderCreateFn create) {
    return SetCreateFn(mReaders, id, &Entry::mReaderCreate, create);
}

bool KFbxFileFormatRegistry::SetWriterCreateFn(int id, KFbxWriterCreateFn create) {
    return SetCreateFn(mWriters, id, &Entry::mWriterCreate, create);
}

int KFbxFileFormatRegistry::FindReaderByExtension(const char* extensionOrFileName) const {
    std::lock_guard<std::mutex> lock(mMutex);
    return FindByExtension(mReaders, extensionOrFileName);
}

int KFbxFileFormatRegistry::FindWriterByExtension(const char* extensionOrFileName) const {
    std::lock_guard<std::mutex> lock(mMutex);
    return FindByExtension(mWriters, extensionOrFileName);
}

bool KFbxFileFormatRegistry::IsReader(int id) const {
    std::lock_guard<std::mutex> lock(mMutex);
    return Find(mReaders, id) != nullptr;
}

bool KFbxFileFormatRegistry::IsWriter(int id) const {
    std::lock_guard<std::mutex> lock(mMutex);
    return Find(mWriters, id) != nullptr;
}

std::vector<int> KFbxFileFormatRegistry::IdsOf(const std::vector<Entry>& entries) const {
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<int> ids;
    for (const Entry& entry : entries) {
        ids.push_back(entry.mId);
    }
    return ids;
}

std::vector<int> KFbxFileFormatRegistry::GetReaderIds() const { return IdsOf(mReaders); }

std::vector<int> KFbxFileFormatRegistry::GetWriterIds() const { return IdsOf(mWriters); }

KString KFbxFileFormatRegistry::TextOf(const std::vector<Entry>& entries, int id, KString Entry::*field) const {
    std::lock_guard<std::mutex> lock(mMutex);
    const Entry* entry = Find(entries, id);
    return entry != nullptr ? entry->*field : KString();
}

KString KFbxFileFormatRegistry::GetReaderExtension(int id) const { return TextOf(mReaders, id, &Entry::mExtension); }

KString KFbxFileFormatRegistry::GetReaderDescription(int id) const {
    return TextOf(mReaders, id, &Entry::mDescription);
}

KString KFbxFileFormatRegistry::GetWriterExtension(int id) const { return TextOf(mWriters, id, &Entry::mExtension); }

KString KFbxFileFormatRegistry::GetWriterDescription(int id) const {
    return TextOf(mWriters, id, &Entry::mDescription);
}

template <class Fn>
Fn KFbxFileFormatRegistry::CreateFnOf(const std::vector<Entry>& entries, int id, Fn Entry::*field,
                                      int& subFormat) const {
    std::lock_guard<std::mutex> lock(mMutex);
    const Entry* entry = Find(entries, id);
    if (entry == nullptr) {
        return nullptr;
    }
    subFormat = entry->mSubFormat;
    return entry->*field;
}

KFbxReader* KFbxFileFormatRegistry::CreateReader(int id, KFbxSdkManager& manager, KFbxIO* io) const {
    int subFormat = 0;
    // Called unlocked: a create function may use the registry.
    KFbxReaderCreateFn create = CreateFnOf(mReaders, id, &Entry::mReaderCreate, subFormat);
    return create != nullptr ? create(manager, io, subFormat) : nullptr;
}

KFbxWriter* KFbxFileFormatRegistry::CreateWriter(int id, KFbxSdkManager& manager, KFbxIO* io) const {
    int subFormat = 0;
    KFbxWriterCreateFn create = CreateFnOf(mWriters, id, &Entry::mWriterCreate, subFormat);
    return create != nullptr ? create(manager, io, subFormat) : nullptr;
}

}  // namespace fbxsdk_2006_11_1
