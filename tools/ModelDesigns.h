#pragma once

#include <tools/ModelShapes.h>

#include <string>
#include <vector>

// What each model of the game looks like and how it moves, independent of
// the file it is stored in.

// A bone's motion over its take: sine waves about its rest pose, plus an
// optional steady turn about y.
struct BoneMotion {
    Point3 rotationAmplitude{};     // degrees about x, y, z
    Point3 translationAmplitude{};  // added to the rest offset
    double phase = 0.0;           // in cycles
    double spinDegrees = 0.0;     // turned about y over the whole take
};

struct BoneDesign {
    std::string name;
    int parent = -1;  // index of the parent bone; -1 for a child of the scene root
    Point3 offset{};    // rest position relative to the parent, no rest rotation
    BoneMotion motion;
};

struct ModelDesign {
    std::string name;
    ShapeMesh mesh;          // point weights name bones by index
    bool clockwise = false;  // triangles are clockwise seen from outside
    std::vector<BoneDesign> bones;  // none for a static model
    std::string takeName;
    double takeSeconds = 0.0;
    int cycles = 1;  // motion cycles in the take
};

enum class ModelKind {
    cactusHigh,
    cactusMid,
    cactusLow,
    bird,
    aggroBird,
    teapot,
    palmCrown0,
    palmCrown1,
    palmCrown2,
    palmTrunk,
    demon,
    demonLow,
    sandstone,
    wizard,
    carpet,
    wall,
};

ModelDesign designModel(ModelKind kind);

// The rest position of a bone in model space.
Point3 boneRestPosition(const ModelDesign& design, int bone);
// A bone's local rotation (degrees) and translation at a time of its take.
Point3 boneRotationAt(const ModelDesign& design, int bone, double seconds);
Point3 boneTranslationAt(const ModelDesign& design, int bone, double seconds);
