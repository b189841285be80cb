#include "DeepHierarchyTest.h"

namespace deephierarchytest {

INSTANTIATE_TEST_SUITE_P(
    Fbx6, DeepHierarchy,
    ::testing::Values(Row{"Fbx6Binary", KFbxFileFormatRegistry::eFBX_BINARY_WRITER, "chain.fbx", true},
                      Row{"Fbx6Ascii", KFbxFileFormatRegistry::eFBX_ASCII_WRITER, "chain.fbx", true},
                      Row{"Fbx6Encrypted", KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER, "chain.fbx", true}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.mName); });

}  // namespace deephierarchytest
