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

TEST(FormatRegistration, TheObjReaderAndWriterAreEnteredUnderTheirIds) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    ASSERT_NE(manager, nullptr);
    const Registry& registry = Registry::Get();
    std::unique_ptr<KFbxReader> reader(registry.CreateReader(Registry::eOBJ_READER, *manager, nullptr));
    EXPECT_NE(reader, nullptr);
    std::unique_ptr<KFbxWriter> writer(registry.CreateWriter(Registry::eOBJ_WRITER, *manager, nullptr));
    EXPECT_NE(writer, nullptr);
    EXPECT_EQ(registry.FindReaderByExtension("model.OBJ"), Registry::eOBJ_READER);
    EXPECT_EQ(registry.FindWriterByExtension("model.obj"), Registry::eOBJ_WRITER);
    EXPECT_STREQ(registry.GetWriterDescription(Registry::eOBJ_WRITER).Buffer(), "Wavefront OBJ (*.obj)");
}

}  // namespace
