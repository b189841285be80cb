#include "DeepHierarchyTest.h"

namespace deephierarchytest {

INSTANTIATE_TEST_SUITE_P(
    Fbx5DxfObj, DeepHierarchy,
    ::testing::Values(Row{"Fbx5Binary", KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, "chain.fbx", true},
                      Row{"Fbx5Ascii", KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, "chain.fbx", true},
                      Row{"Dxf", KFbxFileFormatRegistry::eDXF_WRITER, "chain.dxf", false},
                      Row{"Obj", KFbxFileFormatRegistry::eOBJ_WRITER, "chain.obj", false}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.mName); });

}  // namespace deephierarchytest
