// A program that links the whole SDK finds the readers and writers of every
// format library in the registry, without naming those libraries.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxReader.h>
#include <fbxfilesdk/fbx/KFbxWriter.h>

#include <gtest/gtest.h>

#include <memory>

using namespace fbxsdk_2006_11_1;

namespace {

using Registry = KFbxFileFormatRegistry;

TEST(FormatRegistration, EveryFormatLibraryEntersItsReadersAndWriters) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    ASSERT_NE(manager, nullptr);
    const Registry& registry = Registry::Get();
    for (int id : {Registry::eFBX_READER, Registry::eDXF_READER, Registry::e3DS_READER, Registry::eCOLLADA_READER}) {
        SCOPED_TRACE(id);
        std::unique_ptr<KFbxReader> reader(registry.CreateReader(id, *manager, nullptr));
        EXPECT_NE(reader, nullptr);
    }
    for (int id : {Registry::eDXF_WRITER}) {
        SCOPED_TRACE(id);
        std::unique_ptr<KFbxWriter> writer(registry.CreateWriter(id, *manager, nullptr));
        EXPECT_NE(writer, nullptr);
    }
}

}  // namespace
