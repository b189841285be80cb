#pragma once

#include <game/GameObject.h>

#include <array>

struct FbxModel;

// A decor object's state.
enum DecorState : int {
    decorStanding = 0,
    decorGone = 9,  // destroyed or collected; the play frame removes it
};

// The static objects of the world: plants, stones, walls and pick-ups. The
// level population fills the fields of most kinds one by one.
class Decor : public GameObject {
public:
    int state = decorStanding;
    Vec3 colour{};           // teapots draw in it
    float angle = 0.0f;      // degrees about the vertical axis
    float extraScale = 0.0f; // added to the model's scale
    std::array<FbxModel*, 3> models{};  // by level of detail
    bool animated = false;
    int frameCounter = 0;
    float frameTime = 0.0f;  // teapots: the frame as a running float
};

// Decor drawn from models.
class FBX_Decor : public Decor {
protected:
    // The object's own place: translated to its position, turned by angle.
    void applyPlacement() const;
    // The model of the level from the set, advancing an animated object's
    // frame first. Levels other than 0, 1 and 2 draw nothing.
    void drawLevelModel(const std::array<FbxModel*, 3>& set, int lod);
    // Selects the next frame before a model of the level is drawn.
    virtual void advanceFrame(int lod);

    // The model in one colour, with the base sphere as its bounding sphere.
    void drawPlain(int lod, const Vec3& modelColour);
};

// Kills a decor object once its health is used up.
void damageUntilGone(Decor& decor, int amount);
