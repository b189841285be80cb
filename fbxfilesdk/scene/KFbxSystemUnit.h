// A unit of length, given by its size in centimetres, and the SDK's named
// units.
#ifndef FBXFILESDK_SCENE_KFBXSYSTEMUNIT_H
#define FBXFILESDK_SCENE_KFBXSYSTEMUNIT_H

namespace fbxsdk_2006_11_1 {

class KFbxSystemUnit {
public:
    // scaleFactor: centimetres per unit (100.0 is the metre).
    constexpr explicit KFbxSystemUnit(double scaleFactor) : mScaleFactor(scaleFactor) {}

    double GetScaleFactor() const;

    // Constant-initialised, so static initialisers of other source units may
    // read them.
    static const KFbxSystemUnit mm;
    static const KFbxSystemUnit cm;
    static const KFbxSystemUnit m;
    static const KFbxSystemUnit km;
    static const KFbxSystemUnit Inch;
    static const KFbxSystemUnit Foot;
    static const KFbxSystemUnit Mile;
    static const KFbxSystemUnit Yard;

    static constexpr int sPredefinedUnitCount = 8;
    // The named units from smallest metric to yard: mm, cm, m, km, Inch,
    // Foot, Mile, Yard.
    static const KFbxSystemUnit sPredefinedUnits[sPredefinedUnitCount];

private:
    double mScaleFactor;
};

}  // namespace fbxsdk_2006_11_1

#endif
