// A colour of four doubles, red, green, blue and alpha, each kept in [0, 1],
// with the small helpers colour and scale values share.
#ifndef FBXFILESDK_CORE_KFBXCOLOR_H
#define FBXFILESDK_CORE_KFBXCOLOR_H

namespace fbxsdk_2006_11_1 {

class KFbxColor {
public:
    // Opaque black (0, 0, 0, 1).
    KFbxColor();
    // Each component is clamped to [0, 1]; NaN gives 0.
    KFbxColor(double red, double green, double blue, double alpha);
    void Set(double red, double green, double blue, double alpha);
    // A colour from four doubles in the order red, green, blue, alpha, clamped as above.
    static KFbxColor ConstructFromArray(const double* values);

    double mRed;
    double mGreen;
    double mBlue;
    double mAlpha;
};

// Sets four doubles to 1.0, the default of colour and scale values.
void SetDouble4ToOne(double* values);
// min when value < min, max when value > max, else value.
double ClampValue(double value, double min, double max);

}  // namespace fbxsdk_2006_11_1

#endif
