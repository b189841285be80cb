#include <fbxfilesdk/scene/KFbxSystemUnit.h>

namespace fbxsdk_2006_11_1 {

namespace {
// Centimetres per unit, shared by the named units and the table so that both
// stay constant expressions.
constexpr double kMillimetre = 0.1;
constexpr double kCentimetre = 1.0;
constexpr double kMetre = 100.0;
constexpr double kKilometre = 100000.0;
constexpr double kInch = 2.54;
constexpr double kFoot = 30.48;
constexpr double kMile = 160934.721869444;
constexpr double kYard = 91.44;
}  // namespace

// constinit: the units are in the image before any code runs, so no static
// initialiser can observe them unset.
constinit const KFbxSystemUnit KFbxSystemUnit::mm(kMillimetre);
constinit const KFbxSystemUnit KFbxSystemUnit::cm(kCentimetre);
constinit const KFbxSystemUnit KFbxSystemUnit::m(kMetre);
constinit const KFbxSystemUnit KFbxSystemUnit::km(kKilometre);
constinit const KFbxSystemUnit KFbxSystemUnit::Inch(kInch);
constinit const KFbxSystemUnit KFbxSystemUnit::Foot(kFoot);
constinit const KFbxSystemUnit KFbxSystemUnit::Mile(kMile);
constinit const KFbxSystemUnit KFbxSystemUnit::Yard(kYard);

constinit const KFbxSystemUnit KFbxSystemUnit::sPredefinedUnits[sPredefinedUnitCount] = {
    KFbxSystemUnit(kMillimetre), KFbxSystemUnit(kCentimetre), KFbxSystemUnit(kMetre),
    KFbxSystemUnit(kKilometre),  KFbxSystemUnit(kInch),       KFbxSystemUnit(kFoot),
    KFbxSystemUnit(kMile),       KFbxSystemUnit(kYard),
};

double KFbxSystemUnit::GetScaleFactor() const { return mScaleFactor; }

}  // namespace fbxsdk_2006_11_1
