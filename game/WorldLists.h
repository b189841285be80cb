#pragma once

#include <memory>
#include <vector>

class Creature;
class Decor;
class Spell;

// The lists own their elements: an element removed from one is destroyed.
extern std::vector<std::unique_ptr<Creature>> creatureList;
extern std::vector<std::unique_ptr<Decor>> decorList;
extern std::vector<std::unique_ptr<Spell>> playerSpells;
extern std::vector<std::unique_ptr<Spell>> explosionList;
extern std::vector<std::unique_ptr<Spell>> creatureSpells;

// This frame's objects near the camera or in its view cone; they point into
// creatureList and decorList and must be emptied whenever those are.
extern std::vector<Creature*> nearCreatures;
extern std::vector<Decor*> nearDecors;
