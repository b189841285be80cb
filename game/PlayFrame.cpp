#include <game/PlayFrame.h>

#include <game/CallbackSets.h>
#include <game/Creature.h>
#include <game/Decor.h>
#include <game/FrameTimer.h>
#include <game/GameState.h>
#include <game/Hud.h>
#include <game/PlayerControl.h>
#include <game/PlayerOptions.h>
#include <game/Screens.h>
#include <game/SkyBox.h>
#include <game/Sound.h>
#include <game/Spell.h>
#include <game/TerrainDrawing.h>
#include <game/TerrainTiles.h>
#include <game/TextOverlay.h>
#include <game/Texture.h>
#include <game/WorldLists.h>

#include <GL/glew.h>
#include <GL/glut.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

std::int64_t frameStartCount = 0;
std::int64_t timerFrequency = frameCounterFrequency();
int tickMilliseconds = 0;
float tickRemainder = 0.0f;

int fpsFrameCount = 0;
int fpsLastTime = 0;
std::string fpsText;

namespace {

constexpr int particleTextureSlot = 11;
constexpr float groundImpactRange = 2000.0f;
constexpr float hitImpactRange = 1000.0f;
constexpr int maxPower = 100;
constexpr float normalSpeed = 80.0f;
constexpr float closeDistance = 2500.0f;
constexpr float playableSize = 65536.0f;
constexpr int hitVolume = 128;
constexpr int warningVolume = 256;
constexpr int salvoVolume = 179;

// Drawing order of the terrain tiles and the texture slot of each.
constexpr int tileOrder[terrainTileCount] = {4, 0, 1, 2, 5, 8, 7, 6, 3};
constexpr int tileTextureSlot[terrainTileCount] = {0, 14, 15, 16, 17, 18, 19, 20, 21};

unsigned int particleTexture() {
    return textureIds[particleTextureSlot];
}

// The spell and decor passes walk by index and step on after a removal
// too: the element that slides into the freed place waits for the next
// frame.
template <class T>
void removeAt(std::vector<T>& list, std::size_t index) {
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
}

void addExplosion(const Vec3& position, float range) {
    explosionList.push_back(std::make_unique<Spell_Explosion>(position, particleTexture(), range));
}

// Flying spells move on; those spent or gone below the ground go, the
// latter with an impact.
void updateFlyingSpells(std::vector<std::unique_ptr<Spell>>& spells) {
    for (std::size_t i = 0; i < spells.size(); ++i) {
        Spell& spell = *spells[i];
        if (!spell.inFlight()) {
            removeAt(spells, i);
            continue;
        }
        spell.update(static_cast<float>(frameMilliseconds));
        const Vec3 probe{spell.position[0] + spell.direction[0], spell.position[1] + spell.direction[1],
                         spell.position[2] + spell.direction[2]};
        if (centreGroundHeight(probe[0], probe[2]) > probe[1]) {
            const Vec3 at = spell.position;
            removeAt(spells, i);
            addExplosion(at, groundImpactRange);
        }
    }
}

void updateExplosions() {
    for (std::size_t i = 0; i < explosionList.size(); ++i) {
        if (explosionList[i]->inFlight()) {
            explosionList[i]->update(static_cast<float>(frameMilliseconds));
        } else {
            removeAt(explosionList, i);
        }
    }
}

// Every player spell, spent ones included, against one object.
void hitWithPlayerSpells(GameObject& object) {
    for (const auto& spell : playerSpells) {
        if (object.isHit(spell->position, spell->direction, spell->radius)) {
            object.takeDamage(spell->damage);
            spell->markSpent();
            addExplosion(spell->position, hitImpactRange);
        }
    }
}

void hitPlayer(const Spell& spell) {
    playerHealth -= spell.damage;
    damageOverlayOn = true;
    damageOverlayFrames = 5;
    playSample(soundWizardHit1 + std::rand() % 6, hitVolume);
    if (playerSpeed == boostSpeed) {
        playerSpeed = normalSpeed;
    }
}

void creatureSpellsHit() {
    for (const auto& spell : creatureSpells) {
        if (spheresOverlap(spell->position, spell->direction, liveCamera.position, spell->radius, playerRadius)) {
            spell->markSpent();
            hitPlayer(*spell);
        }
        // A pick-up touched by a creature's spell goes to the player.
        for (Decor* decor : nearDecors) {
            if (decor->collides(spell->position, spell->direction, spell->radius)) {
                spell->markSpent();
                decor->takeDamage(spell->damage);
                addExplosion(spell->position, hitImpactRange);
            }
        }
    }
}

// Loud up to 4000 units away, then falling with the distance.
void playExplosionSound(const Vec3& position) {
    const double d = distance3(liveCamera.position, position);
    const double factor = std::min(4000.0 / std::max(d, 500.0), 1.0);
    playSample(soundCreatureExplode, static_cast<int>(factor * 256.0));
}

bool isDead(const std::unique_ptr<Creature>& creature) {
    return creature->state == creatureDead;
}

// Every dead creature is rewarded and goes in this one pass, also one that
// died next to another in the list: the level may end later in this frame,
// and a creature left for the next frame would never be rewarded.
void creatureDeathsAndVisibility() {
    for (const auto& creature : creatureList) {
        if (isDead(creature)) {
            playerPower = std::min(playerPower + static_cast<int>(creature->reward), maxPower);
            explosionList.push_back(std::make_unique<Spell_Explosion>(creature->position, particleTexture(),
                                                                      creature->colour, creature->reward));
            if (creature->health < 0) {
                playExplosionSound(creature->position);
            }
        } else if (isNearCamera(creature->position)) {
            nearCreatures.push_back(creature.get());
        }
    }
    std::erase_if(creatureList, isDead);
}

void decorDestructionAndVisibility() {
    for (std::size_t i = 0; i < decorList.size(); ++i) {
        Decor& decor = *decorList[i];
        if (decor.state == decorGone) {
            if (decor.health <= 0) {
                playExplosionSound(decor.position);
            }
            removeAt(decorList, i);
        } else if (isNearCamera(decor.position)) {
            nearDecors.push_back(&decor);
        }
    }
}

int levelOfDetail(const Vec3& camera, const Vec3& position, float middleLimit) {
    if (staticLodMode == 1) {
        return 2;
    }
    if (staticLodMode == 2) {
        return 0;
    }
    const float d = distance3(camera, position);
    return d < 3000.0f ? 0 : (d < middleLimit ? 1 : 2);
}

void drawTerrain() {
    for (int n = 0; n < terrainTileCount; ++n) {
        const int t = tileOrder[n];
        TerrainQuadtree* root = terrainRoots[static_cast<std::size_t>(t)].get();
        if (!root) {
            continue;
        }
        const TerrainTile& tile = terrainTiles[static_cast<std::size_t>(t)];
        glBindTexture(GL_TEXTURE_2D, textureIds[static_cast<std::size_t>(tileTextureSlot[n])]);
        const bool outer = t != centreTile;
        if (outer) {
            // Outer tiles are pulled a little towards the centre to close
            // the seams.
            glPushMatrix();
            glTranslatef(257.0f * static_cast<float>(1 - t / 3), 0.0f, 257.0f * static_cast<float>(1 - t % 3));
        }
        terrainDetail = outer ? outerTileDetail : centreTileDetail;
        refineQuadtree(*root, tile, liveCamera.position, 0.0f);
        drawTerrainTile(*root, tile);
        if (outer) {
            glPopMatrix();
        }
    }
}

void drawSpells(const std::vector<std::unique_ptr<Spell>>& spells) {
    for (const auto& spell : spells) {
        spell->draw();
    }
}

void countFrameRate() {
    fpsFrameCount += 1;
    const int t = glutGet(GLUT_ELAPSED_TIME);
    if (t - fpsLastTime > 1000) {
        char text[64];
        std::snprintf(text, sizeof text, "FPS:%4.2f", fpsFrameCount * 1000.0 / (t - fpsLastTime));
        fpsText = text;
        fpsLastTime = t;
        fpsFrameCount = 0;
    }
}

void drawOverlay() {
    glDisable(GL_DEPTH_TEST);
    beginOverlay2D();
    drawHud();
    if (gameWon) {
        drawWinText();
    }
    drawDebugText();
    drawFps();
    if (damageOverlayOn) {
        drawDamageOverlay();
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void drawWorld() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_FOG);
    drawSkyBox();
    glEnable(GL_FOG);
    glEnable(GL_LIGHTING);

    const GLfloat light[] = {-40000.0f, 26000.0f, 37000.0f, 1.0f};
    glPushMatrix();
    glTranslatef(light[0], light[1], light[2]);
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glPopMatrix();

    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawTerrain();

    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    drawNearObjects(liveCamera.position);
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_LIGHTING);

    const Vec3& p = liveCamera.position;
    const float fromOrigin = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    glPointSize(5000.0f / std::max(0.2f, fromOrigin));
    drawSpells(playerSpells);
    drawSpells(explosionList);
    drawSpells(creatureSpells);

    countFrameRate();
    drawOverlay();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

void fireSalvoShot() {
    Vec3 start = liveCamera.position;
    for (int i = 0; i < 3; ++i) {
        start[i] += liveCamera.forward[i];
    }
    playerSpells.push_back(std::make_unique<Spell_Fireball_Salve>(start, liveCamera.forward, particleTexture(),
                                                                  static_cast<float>(10 * playerPower + 200)));
    if (salvoShotsLeft % 5 == 0) {
        playSample(soundFiresalveShoot, salvoVolume);
    }
    salvoShotsLeft -= 1;
    if (salvoShotsLeft <= 0) {
        salvoActive = false;
    }
}

bool insidePlayableSquare(const Vec3& p) {
    return p[0] >= 0.0f && p[0] <= playableSize && p[2] >= 0.0f && p[2] <= playableSize;
}

// Regeneration, the cost of staying outside, and the creatures' thinking.
void secondTick() {
    tickMilliseconds = 0;
    tickRemainder = 0.0f;
    if (playerHealth < playerMaxHealth) {
        playerHealth += 1;
    }
    if (insidePlayableSquare(liveCamera.position)) {
        outsideSeconds = 0;
    } else {
        outsideSeconds += 1;
        damageOverlayOn = true;
        damageOverlayFrames = 5;
        if (outsideSeconds >= 5) {
            playSample(soundWizardHit1 + std::rand() % 6, warningVolume);
            playerHealth -= 1000;
        } else {
            playSample(soundOutside1 + std::rand() % 12, warningVolume);
            playerHealth -= 10;
        }
    }
    for (const auto& creature : creatureList) {
        creature->think(liveCamera.position);
    }
}

}  // namespace

bool isNearCamera(const Vec3& point) {
    if (!viewConeCulling) {
        return true;
    }
    Vec3 v{point[0] - liveCamera.position[0], point[1] - liveCamera.position[1], point[2] - liveCamera.position[2]};
    const float d = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    normalize3(v);
    const Vec3& f = liveCamera.forward;
    const float facing = f[0] * v[0] + f[1] * v[1] + f[2] * v[2];
    return (facing > viewConeCos && d < viewDistance) || d < closeDistance;
}

bool updateWorld() {
    castPlayerSpell();
    updateFlyingSpells(playerSpells);
    updateExplosions();
    updateFlyingSpells(creatureSpells);

    for (const auto& creature : creatureList) {
        if (!isDead(creature)) {
            creatureMarkers.push_back({creature->position[0], creature->position[2]});
        }
        hitWithPlayerSpells(*creature);
    }
    for (const auto& decor : decorList) {
        decorMarkers.push_back({decor->position[0], decor->position[2]});
        hitWithPlayerSpells(*decor);
    }
    creatureSpellsHit();

    clearNearLists();
    creatureDeathsAndVisibility();
    decorDestructionAndVisibility();

    bool allDead = true;
    for (const auto& creature : creatureList) {
        creature->act(liveCamera.position);
        allDead = allDead && isDead(creature);
    }
    return allDead;
}

void updatePlayFrame() {
    frameStartCount = readFrameCounter();
    glMatrixMode(GL_MODELVIEW);
    if (updateWorld()) {
        if (currentLevel < 2) {
            glFlush();
            showLevelTaskScreen();
            registerLevelTaskCallbacks();
        } else {
            gameWon = true;
        }
    }
    if (playerHealth <= 0) {
        glFlush();
        showGameOverScreen();
        registerGameOverCallbacks();
    }
}

int frameSleepMilliseconds(float workMilliseconds) {
    return static_cast<int>(frameMilliseconds) - static_cast<int>(workMilliseconds);
}

int applyFrameTime(float workMilliseconds) {
    const int sleep = frameSleepMilliseconds(workMilliseconds);
    // The fraction of a millisecond is carried to the next frame: dropped
    // each frame, frames of less than a millisecond of work would never
    // add up to the once-a-second tick.
    const float total = static_cast<float>(tickMilliseconds) + tickRemainder + workMilliseconds;
    tickMilliseconds = static_cast<int>(total);
    tickRemainder = total - static_cast<float>(tickMilliseconds);
    if (tickMilliseconds % 10 < 5 && salvoActive) {
        fireSalvoShot();
    }
    if (tickMilliseconds >= 1000) {
        secondTick();
    }
    return sleep;
}

int drawPlayFrame() {
    drawWorld();
    updatePlayer();
    applyCamera(liveCamera);
    const auto work = static_cast<float>(static_cast<double>(readFrameCounter() - frameStartCount) * 1000.0 /
                                          static_cast<double>(timerFrequency));
    return applyFrameTime(work);
}

void onIdle() {
    updatePlayFrame();
    onDisplay();
}

void onDisplay() {
    sleepMilliseconds(drawPlayFrame());
    glutSwapBuffers();
}

void drawNearObjects(const Vec3& camera) {
    for (Decor* decor : nearDecors) {
        decor->draw(levelOfDetail(camera, decor->position, 20000.0f));
    }
    for (Creature* creature : nearCreatures) {
        creature->draw(levelOfDetail(camera, creature->position, 10000.0f));
    }
}

void clearNearLists() {
    nearCreatures.clear();
    nearDecors.clear();
}
