#include <game/WorldLists.h>

#include <game/Creature.h>
#include <game/Decor.h>
#include <game/Spell.h>

std::vector<std::unique_ptr<Creature>> creatureList;
std::vector<std::unique_ptr<Decor>> decorList;
std::vector<std::unique_ptr<Spell>> playerSpells;
std::vector<std::unique_ptr<Spell>> explosionList;
std::vector<std::unique_ptr<Spell>> creatureSpells;

std::vector<Creature*> nearCreatures;
std::vector<Decor*> nearDecors;
