#include <game/ModelDraw.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// The vertices that every array of the draw can supply, so that no draw
// reads past an array whatever vertexCount claims.
std::size_t drawableCount(const FbxModel& model, bool textured) {
    std::size_t n = static_cast<std::size_t>(std::max(model.vertexCount, 0));
    n = std::min(n, currentPositions(model).size() / 3);
    n = std::min(n, model.normals.size() / 3);
    if (textured) {
        n = std::min(n, model.texCoords.size() / 2);
    }
    return n;
}

// A baked frame that holds n vertices, else the positions drawn now.
const float* frameOrCurrent(const FbxModel& model, int index, std::size_t n) {
    if (index >= 0 && static_cast<std::size_t>(index) < model.frames.size() &&
        model.frames[static_cast<std::size_t>(index)].size() >= 3 * n) {
        return model.frames[static_cast<std::size_t>(index)].data();
    }
    return currentPositions(model).data();
}

bool buffersUsable(const FbxModel& model) {
    return model.vbosCreated && bufferEntryPointsReady();
}

// The buffer draws read texture coordinates only from their own buffer.
bool bufferTextured(const FbxModel& model) {
    return model.hasTexture && model.vbos[2] != 0;
}

void enableClientArrays(bool textured) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

void disableClientArrays(bool textured) {
    if (textured) {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void beginDraw(const FbxModel& model, bool clientArrays, bool textured, float scale) {
    if (clientArrays) {
        enableClientArrays(textured);
    }
    if (textured) {
        glEnable(GL_TEXTURE_2D);
    }
    glEnable(GL_NORMALIZE);
    if (textured) {
        glBindTexture(GL_TEXTURE_2D, model.textureId);
    }
    // Before the push: the scale stays on the caller's matrix.
    glScalef(scale, scale, scale);
    glPushMatrix();
}

void endDraw(bool clientArrays, bool textured) {
    glPopMatrix();
    if (textured) {
        glDisable(GL_TEXTURE_2D);
    }
    if (clientArrays) {
        glDisable(GL_NORMALIZE);
        disableClientArrays(textured);
    }
}

void setClientPointers(const FbxModel& model, bool textured) {
    glVertexPointer(3, GL_FLOAT, 0, currentPositions(model).data());
    glNormalPointer(GL_FLOAT, 0, model.normals.data());
    if (textured) {
        glTexCoordPointer(2, GL_FLOAT, 0, model.texCoords.data());
    }
}

// Binds the normal and texture-coordinate buffers; the caller has bound and
// pointed at the position buffer.
void setBufferPointers(const FbxModel& model, bool textured) {
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, model.vbos[1]);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    if (textured) {
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, model.vbos[2]);
        glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    }
}

void bindPositionBuffer(const FbxModel& model) {
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, model.vbos[0]);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
}

void fillBuffer(GLuint& name, const std::vector<float>& data, std::size_t floats) {
    glGenBuffersARB(1, &name);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, name);
    const std::size_t bytes = floats * sizeof(float);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(bytes), nullptr, GL_DYNAMIC_DRAW_ARB);
    const std::size_t available = std::min(bytes, data.size() * sizeof(float));
    if (available > 0) {
        glBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, static_cast<GLsizeiptrARB>(available), data.data());
    }
}

// An empty model submits nothing: a draw from an empty buffer object can
// bring a driver down.
void drawTriangles(std::size_t count) {
    if (count > 0) {
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count));
    }
}

// The display list of each render mode and whether it exists.
struct ListSlot {
    GLuint* list;
    bool* built;
};

std::array<ListSlot, 3> listSlots(FbxModel& model) {
    return {{
        {&model.listImmediate, &model.immediateListBuilt},
        {&model.listVertexArrays, &model.vertexArrayListBuilt},
        {&model.listVbo, &model.vboListBuilt},
    }};
}

bool isRenderMode(int mode) {
    return mode >= renderImmediate && mode <= renderVertexBuffers;
}

}  // namespace

void drawModel(FbxModel& model, float extraScale) {
    model.useList = false;
    applyTextureFilters(model);
    const int next = (model.frame + 1 >= model.frameCount) ? 0 : model.frame + 1;
    switch (model.renderMode) {
    case renderImmediate:
        if (model.animated) {
            drawImmediateBlended(model, model.frame, next, model.frameBlend, extraScale);
        } else {
            drawImmediate(model, extraScale);
        }
        break;
    case renderVertexArrays:
        drawVertexArrays(model, extraScale);
        break;
    case renderVertexBuffers:
        if (model.animated) {
            drawVboBlended(model, model.frame, next, model.frameBlend);
        } else {
            drawVbo(model);
        }
        break;
    default:
        break;
    }
}

void drawImmediate(const FbxModel& model, float extraScale) {
    const bool textured = model.hasTexture;
    beginDraw(model, false, textured, model.scale + extraScale);
    if (model.useList) {
        glCallList(model.listImmediate);
    } else {
        const std::size_t n = drawableCount(model, textured);
        const float* p = currentPositions(model).data();
        const float* normal = model.normals.data();
        const float* uv = model.texCoords.data();
        glBegin(GL_TRIANGLES);
        for (std::size_t k = 0; k < n; ++k) {
            if (textured) {
                glTexCoord2d(uv[2 * k], uv[2 * k + 1]);
            }
            glNormal3d(normal[3 * k], normal[3 * k + 1], normal[3 * k + 2]);
            glVertex3d(p[3 * k], p[3 * k + 1], p[3 * k + 2]);
        }
        glEnd();
    }
    endDraw(false, textured);
}

void drawImmediateBlended(const FbxModel& model, int frameA, int frameB, float t, float extraScale) {
    const bool textured = model.hasTexture;
    beginDraw(model, false, textured, model.scale + extraScale);
    const std::size_t n = drawableCount(model, textured);
    const float* a = frameOrCurrent(model, frameA, n);
    const float* b = frameOrCurrent(model, frameB, n);
    const float* normal = model.normals.data();
    const float* uv = model.texCoords.data();
    auto blend = [&](std::size_t i) { return (b[i] - a[i]) * t + a[i]; };
    glBegin(GL_TRIANGLES);
    for (std::size_t k = 0; k < n; ++k) {
        if (textured) {
            glTexCoord2d(uv[2 * k], uv[2 * k + 1]);
        }
        glNormal3d(normal[3 * k], normal[3 * k + 1], normal[3 * k + 2]);
        glVertex3d(blend(3 * k), blend(3 * k + 1), blend(3 * k + 2));
    }
    glEnd();
    endDraw(false, textured);
}

void drawVertexArrays(const FbxModel& model, float extraScale) {
    const bool textured = model.hasTexture;
    beginDraw(model, true, textured, model.scale + extraScale);
    setClientPointers(model, textured);
    if (model.useList) {
        glCallList(model.listVertexArrays);
    } else {
        drawTriangles(drawableCount(model, textured));
    }
    endDraw(true, textured);
}

void drawVbo(const FbxModel& model) {
    if (!buffersUsable(model)) {
        return;
    }
    const bool textured = bufferTextured(model);
    beginDraw(model, true, textured, model.scale);
    bindPositionBuffer(model);
    setBufferPointers(model, textured);
    if (model.useList) {
        glCallList(model.listVbo);
    } else {
        drawTriangles(drawableCount(model, false));
    }
    // Client-array draws after this one (terrain, other models) must read
    // client memory, not this buffer.
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    endDraw(true, textured);
}

void drawVboBlended(const FbxModel& model, int frameA, int frameB, float t) {
    if (!buffersUsable(model)) {
        return;
    }
    const bool textured = bufferTextured(model);
    beginDraw(model, true, textured, model.scale);
    bindPositionBuffer(model);
    // The blend goes to scratch memory: the baked frames stay as baked.
    static std::vector<float> blended;
    const std::size_t n = drawableCount(model, false);
    const float* a = frameOrCurrent(model, frameA, n);
    const float* b = frameOrCurrent(model, frameB, n);
    blended.resize(3 * n);
    for (std::size_t i = 0; i < 3 * n; ++i) {
        blended[i] = (b[i] - a[i]) * t + a[i];
    }
    glBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, static_cast<GLsizeiptrARB>(blended.size() * sizeof(float)),
                       blended.data());
    setBufferPointers(model, textured);
    drawTriangles(n);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    endDraw(true, textured);
}

void createModelVbos(FbxModel& model) {
    if (!bufferEntryPointsReady()) {
        return;
    }
    model.vbos = {0, 0, 0};
    const auto n = static_cast<std::size_t>(std::max(model.vertexCount, 0));
    fillBuffer(model.vbos[0], currentPositions(model), 3 * n);
    fillBuffer(model.vbos[1], model.normals, 3 * n);
    if (model.hasTexture) {
        fillBuffer(model.vbos[2], model.texCoords, 2 * n);
    }
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    model.vbosCreated = true;
}

void compileModelList(FbxModel& model, int mode) {
    if (!isRenderMode(mode)) {
        return;
    }
    GLuint* list = listSlots(model)[static_cast<std::size_t>(mode)].list;
    *list = glGenLists(1);
    glNewList(*list, GL_COMPILE);
    if (mode == renderImmediate) {
        const bool textured = model.hasTexture;
        const std::size_t n = drawableCount(model, textured);
        const float* p = currentPositions(model).data();
        std::size_t k = 0;
        for (int size : model.polygonSizes) {
            glBegin(GL_TRIANGLES);
            for (int v = 0; v < size && k < n; ++v, ++k) {
                if (textured) {
                    glTexCoord2f(model.texCoords[2 * k], model.texCoords[2 * k + 1]);
                }
                glNormal3f(model.normals[3 * k], model.normals[3 * k + 1], model.normals[3 * k + 2]);
                glVertex3f(p[3 * k], p[3 * k + 1], p[3 * k + 2]);
            }
            glEnd();
        }
    } else if (mode == renderVertexArrays) {
        // Array state is client state, which a list does not record: only
        // the draw goes into the list, with the arrays read as they are now.
        const bool textured = model.hasTexture;
        enableClientArrays(textured);
        setClientPointers(model, textured);
        drawTriangles(drawableCount(model, textured));
        disableClientArrays(textured);
    } else if (buffersUsable(model)) {
        const bool textured = bufferTextured(model);
        enableClientArrays(textured);
        bindPositionBuffer(model);
        setBufferPointers(model, textured);
        drawTriangles(drawableCount(model, false));
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        disableClientArrays(textured);
    }
    glEndList();
}

void rebuildModelBuffers(FbxModel& model, int mode) {
    model.useList = false;
    model.renderMode = (model.animated && mode == renderVertexArrays) ? renderImmediate : mode;
    if (!isRenderMode(model.renderMode)) {
        return;
    }
    const std::array<ListSlot, 3> slots = listSlots(model);
    for (int other = renderImmediate; other <= renderVertexBuffers; ++other) {
        const ListSlot& slot = slots[static_cast<std::size_t>(other)];
        if (other != model.renderMode && *slot.built) {
            glDeleteLists(*slot.list, 1);
            *slot.list = 0;
            *slot.built = false;
        }
    }
    if (model.renderMode == renderVertexBuffers && !model.vbosCreated) {
        createModelVbos(model);
    }
    const ListSlot& own = slots[static_cast<std::size_t>(model.renderMode)];
    if (!*own.built) {
        compileModelList(model, model.renderMode);
        *own.built = true;
    }
}
