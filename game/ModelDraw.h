#pragma once

#include <game/FbxModel.h>

// Draws the model at the current matrix in its render mode. extraScale adds
// to the model's scale in modes 0 and 1; the scale stays on the caller's
// matrix until the caller pops it.
void drawModel(FbxModel& model, float extraScale);

// Sets the render mode (animated models never use mode 1) and builds what it
// needs, freeing the display lists of the other modes.
void rebuildModelBuffers(FbxModel& model, int mode);

// The draw paths. The blended ones show frameA moved towards frameB by t.
void drawImmediate(const FbxModel& model, float extraScale);
void drawImmediateBlended(const FbxModel& model, int frameA, int frameB, float t, float extraScale);
void drawVertexArrays(const FbxModel& model, float extraScale);
void drawVbo(const FbxModel& model);
void drawVboBlended(const FbxModel& model, int frameA, int frameB, float t);

// Resource builders: the three buffer objects, and the display list of a mode.
void createModelVbos(FbxModel& model);
void compileModelList(FbxModel& model, int mode);
