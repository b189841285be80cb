#pragma once

// Fills the world of a level (1 or 2) with decor, pick-ups and creatures,
// at random places; the generator is seeded from the clock in seconds.
// The previous level's objects are destroyed, and the near lists emptied
// with them.
void populateLevel(int level);

// The same with a given seed: the same seed places the same objects.
void populateLevelSeeded(int level, unsigned int seed);
