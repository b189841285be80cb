// The orientation convention of a scene: which axis points up (and in which
// direction), the parity of the front axis, and the handedness.
#ifndef FBXFILESDK_SCENE_KFBXAXISSYSTEM_H
#define FBXFILESDK_SCENE_KFBXAXISSYSTEM_H

namespace fbxsdk_2006_11_1 {

class KFbxAxisSystem {
public:
    // upVector: 1 X, 2 Y, 3 Z, negated for the negative direction.
    // frontVector: parity of the front axis, ±1 or ±2.
    // coordSystem: 0 right-handed, 1 left-handed.
    constexpr KFbxAxisSystem(int upVector, int frontVector, int coordSystem)
        : mUpVector(upVector), mFrontVector(frontVector), mCoordSystem(coordSystem) {}

    // The up axis, 1 X, 2 Y or 3 Z; sign receives 1 or -1 for its direction.
    int GetUpVector(int& sign) const;
    // Nonzero for a left-handed system.
    int GetCoordSystem() const;

    // Constant-initialised, so static initialisers of other source units may
    // read them.
    static const KFbxAxisSystem ZUpRightHandedA;  // (3, -2, 0)
    static const KFbxAxisSystem ZUpRightHandedB;  // (3, -2, 0)
    static const KFbxAxisSystem YUpRightHandedA;  // (2, 2, 0)
    static const KFbxAxisSystem YUpRightHandedB;  // (2, 2, 0)
    static const KFbxAxisSystem YUpRightHandedC;  // (2, 2, 0)
    static const KFbxAxisSystem YUpLeftHandedA;   // (2, 2, 1)
    static const KFbxAxisSystem YUpLeftHandedB;   // (2, 2, 1)

private:
    int mUpVector;
    int mFrontVector;
    int mCoordSystem;
};

}  // namespace fbxsdk_2006_11_1

#endif
