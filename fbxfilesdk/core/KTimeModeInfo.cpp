#include <fbxfilesdk/core/KTimeModeInfo.h>

namespace fbxsdk_2006_11_1 {

namespace {
// Constant-initialised, so it is ready before any other static initialiser asks.
constexpr KTimeModeInfo kTable[] = {
    {120.0, "120", 1, 8, "120 fps", true},
    {100.0, "100", 2, 7, "100 fps", true},
    {60.0, "60", 3, 6, "60 fps", true},
    {50.0, "50", 4, 5, "50 fps", true},
    {48.0, "48", 5, 3, "48 fps", false},
    {30.0, "30", 6, 3, "30 fps", true},
    {29.97002617, "29.97 drop", 8, 4, "NTSC Drop", true},
    {29.97002617, "29.97 full", 9, 9, "NTSC Full", true},
    {25.0, "25", 10, 2, "PAL", true},
    {24.0, "24", 11, 1, "24 fps", true},
    {30.0, "30 Drop", 7, 10, "30 Drop", true},
    {23.976, "23.976", 13, 10, "23.976 fps", false},
};
}  // namespace

std::span<const KTimeModeInfo> KTimeModeInfoTable() { return kTable; }

}  // namespace fbxsdk_2006_11_1
