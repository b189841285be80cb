#include <game/ModelDraw.h>

#include "GlTestSupport.h"
#include "OffscreenGl.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

namespace {

using Rgb = std::array<std::uint8_t, 3>;
constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};
constexpr Rgb red{255, 0, 0};

constexpr int size = 64;
// Pixel columns at x = -0.75, 0 and +0.75 in clip space, on the middle row.
constexpr int leftColumn = 8;
constexpr int middleColumn = 32;
constexpr int rightColumn = 56;

// Two triangles covering x0..x1 by -0.5..0.5 at z = 0.
std::vector<float> quad(float x0, float x1) {
    return {x0, -0.5f, 0, x1, -0.5f, 0, x1, 0.5f, 0, x0, -0.5f, 0, x1, 0.5f, 0, x0, 0.5f, 0};
}

void fillModel(FbxModel& model, const std::vector<float>& positions, bool textured) {
    model.positions = positions;
    model.vertexCount = static_cast<int>(positions.size() / 3);
    model.polygonCount = model.vertexCount / 3;
    model.polygonSizes.assign(static_cast<std::size_t>(model.polygonCount), 3);
    model.normals.clear();
    for (int i = 0; i < model.vertexCount; ++i) {
        model.normals.insert(model.normals.end(), {0.0f, 0.0f, 1.0f});
    }
    model.texCoords.assign(static_cast<std::size_t>(2 * model.vertexCount), 0.5f);
    model.hasTexture = textured;
}

// A 2 by 2 red image uploaded as the model's texture.
void giveRedTexture(FbxModel& model) {
    auto image = std::make_unique<ModelImage>();
    image->width = 2;
    image->height = 2;
    image->pixels = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255};  // blue, green, red
    model.image = image.get();
    model.images.push_back(std::move(image));
    model.hasTexture = true;
    uploadModelTexture(model);
}

class ModelDrawTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (testfiles::startTestDisplay()) {
            gl = new OffscreenGl(size, size);
        }
    }
    static void TearDownTestSuite() {
        delete gl;
        gl = nullptr;
        testfiles::expectNoLeaks();
    }

    void SetUp() override {
        if (!gl) {
            GTEST_SKIP() << "no X display for GL";
        }
        ASSERT_TRUE(gl->ready());
        setupBuffers(model);
        ASSERT_TRUE(bufferEntryPointsReady());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glColor3f(1.0f, 1.0f, 1.0f);
        clear();
    }

    void TearDown() override {
        if (gl) {
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        }
    }

    static void clear() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    static Rgb at(int column) { return gl->pixel(column, size / 2); }

    static OffscreenGl* gl;
    FbxModel model;
};

OffscreenGl* ModelDrawTest::gl = nullptr;

TEST_F(ModelDrawTest, EveryModeDrawsAPlainAndATexturedModel) {
    for (int mode : {renderImmediate, renderVertexArrays, renderVertexBuffers}) {
        for (bool textured : {false, true}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << (textured ? " textured" : " plain"));
            FbxModel m;
            fillModel(m, quad(-0.5f, 0.5f), textured);
            if (textured) {
                giveRedTexture(m);
            }
            rebuildModelBuffers(m, mode);
            EXPECT_EQ(m.renderMode, mode);
            clear();
            drawModel(m, 0.0f);
            EXPECT_EQ(at(middleColumn), textured ? red : white);
            EXPECT_EQ(at(leftColumn), black);
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
            EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
            EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        }
    }
}

TEST_F(ModelDrawTest, DisplayListsDrawTheGeometryTheyWereCompiledWith) {
    struct Path {
        int mode;
        void (*draw)(const FbxModel&);
    };
    const Path paths[] = {
        {renderImmediate, [](const FbxModel& m) { drawImmediate(m, 0.0f); }},
        {renderVertexArrays, [](const FbxModel& m) { drawVertexArrays(m, 0.0f); }},
        {renderVertexBuffers, [](const FbxModel& m) { drawVbo(m); }},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(testing::Message() << "mode " << path.mode);
        FbxModel m;
        fillModel(m, quad(-1.0f, -0.5f), false);
        rebuildModelBuffers(m, path.mode);
        m.positions = quad(0.5f, 1.0f);  // moved after the list was made

        m.useList = true;
        clear();
        path.draw(m);
        EXPECT_EQ(at(leftColumn), white);
        EXPECT_EQ(at(rightColumn), black);

        if (path.mode != renderVertexBuffers) {  // buffers keep the old positions too
            m.useList = false;
            clear();
            path.draw(m);
            EXPECT_EQ(at(leftColumn), black);
            EXPECT_EQ(at(rightColumn), white);
        }
    }
}

TEST_F(ModelDrawTest, AnimatedModelBlendsItsFramesAndNeverUsesVertexArrays) {
    for (int mode : {renderVertexArrays, renderVertexBuffers}) {
        SCOPED_TRACE(testing::Message() << "asked for mode " << mode);
        FbxModel m;
        fillModel(m, quad(-1.0f, -0.5f), false);
        m.animated = true;
        m.frames = {quad(-1.0f, -0.5f), quad(0.5f, 1.0f)};
        m.frameCount = 2;
        const auto baked = m.frames;
        rebuildModelBuffers(m, mode);
        EXPECT_EQ(m.renderMode, mode == renderVertexArrays ? renderImmediate : mode);

        clear();
        drawModel(m, 0.0f);
        EXPECT_EQ(at(leftColumn), white);
        EXPECT_EQ(at(rightColumn), black);

        setModelFrame(m, 1);  // the next frame wraps round to frame 0
        clear();
        drawModel(m, 0.0f);
        EXPECT_EQ(at(leftColumn), black);
        EXPECT_EQ(at(rightColumn), white);

        setModelFrame(m, 0);
        m.frameBlend = 0.5f;  // halfway: -0.25 to 0.25
        clear();
        drawModel(m, 0.0f);
        EXPECT_EQ(at(leftColumn), black);
        EXPECT_EQ(at(middleColumn), white);
        EXPECT_EQ(at(rightColumn), black);
        EXPECT_EQ(m.frames, baked) << "a blended draw must not write into a baked frame";
    }
}

TEST_F(ModelDrawTest, BufferDrawsLeaveNoArrayBufferBound) {
    FbxModel buffered;
    fillModel(buffered, quad(-1.0f, -0.5f), false);
    rebuildModelBuffers(buffered, renderVertexBuffers);
    FbxModel animated;
    fillModel(animated, quad(-0.25f, 0.25f), false);
    animated.animated = true;
    animated.frames = {animated.positions};
    animated.frameCount = 1;
    rebuildModelBuffers(animated, renderVertexBuffers);
    FbxModel client;
    fillModel(client, quad(0.5f, 1.0f), false);
    rebuildModelBuffers(client, renderVertexArrays);

    drawModel(buffered, 0.0f);
    drawModel(animated, 0.0f);
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    drawModel(client, 0.0f);  // reads client memory, not a buffer offset
    EXPECT_EQ(at(leftColumn), white);
    EXPECT_EQ(at(middleColumn), white);
    EXPECT_EQ(at(rightColumn), white);
}

TEST_F(ModelDrawTest, SwitchingModesFreesOtherListsAndKeepsTheBuffers) {
    fillModel(model, quad(-0.5f, 0.5f), true);
    rebuildModelBuffers(model, renderImmediate);
    const GLuint immediate = model.listImmediate;
    EXPECT_TRUE(model.immediateListBuilt);
    EXPECT_TRUE(glIsList(immediate));

    rebuildModelBuffers(model, renderVertexBuffers);
    EXPECT_FALSE(model.immediateListBuilt);
    EXPECT_FALSE(glIsList(immediate));
    EXPECT_TRUE(model.vboListBuilt);
    EXPECT_TRUE(glIsList(model.listVbo));
    ASSERT_TRUE(model.vbosCreated);
    const auto buffers = model.vbos;
    for (GLuint buffer : buffers) {
        EXPECT_TRUE(glIsBufferARB(buffer));
    }

    rebuildModelBuffers(model, renderImmediate);
    EXPECT_TRUE(model.immediateListBuilt);
    EXPECT_TRUE(glIsList(model.listImmediate));
    EXPECT_FALSE(model.vboListBuilt);
    EXPECT_EQ(model.vbos, buffers);
    for (GLuint buffer : buffers) {
        EXPECT_TRUE(glIsBufferARB(buffer));
    }

    rebuildModelBuffers(model, renderVertexArrays);
    EXPECT_TRUE(model.vertexArrayListBuilt);
    EXPECT_FALSE(model.immediateListBuilt);
}

TEST_F(ModelDrawTest, UntexturedModelHasNoTextureCoordinateBuffer) {
    fillModel(model, quad(-0.5f, 0.5f), false);
    rebuildModelBuffers(model, renderVertexBuffers);
    EXPECT_NE(model.vbos[0], 0u);
    EXPECT_NE(model.vbos[1], 0u);
    EXPECT_EQ(model.vbos[2], 0u);
}

TEST_F(ModelDrawTest, ScaleStaysOnTheCallersMatrixAndNormalisationByMode) {
    fillModel(model, quad(-0.5f, 0.5f), false);
    model.scale = 0.5f;
    const struct {
        int mode;
        float expectedScale;
        bool normalizeAfter;
    } cases[] = {{renderImmediate, 0.75f, true}, {renderVertexArrays, 0.75f, false}, {renderVertexBuffers, 0.5f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        rebuildModelBuffers(model, c.mode);
        glDisable(GL_NORMALIZE);
        glLoadIdentity();
        drawModel(model, 0.25f);
        GLfloat matrix[16] = {};
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[0], c.expectedScale);
        EXPECT_FLOAT_EQ(matrix[10], c.expectedScale);
        EXPECT_EQ(glIsEnabled(GL_NORMALIZE), c.normalizeAfter ? GL_TRUE : GL_FALSE);
    }
}

TEST_F(ModelDrawTest, EmptyOrShortModelsDrawWithoutReadingPastTheirArrays) {
    FbxModel empty;
    FbxModel overstated;
    fillModel(overstated, quad(-0.5f, 0.5f), true);
    overstated.vertexCount = 600;  // claims far more than its arrays hold
    overstated.texCoords.resize(4);
    for (int mode : {int(renderImmediate), int(renderVertexArrays), int(renderVertexBuffers), 7}) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        rebuildModelBuffers(empty, mode);
        rebuildModelBuffers(overstated, mode);
        clear();
        drawModel(empty, 0.0f);
        drawModel(overstated, 0.0f);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    EXPECT_EQ(at(middleColumn), black);  // mode 7 draws nothing
}

TEST_F(ModelDrawTest, TextureUploadNeedsAnImageAndFiltersFollowTheMode) {
    fillModel(model, quad(-0.5f, 0.5f), true);
    uploadModelTexture(model);  // no image was loaded
    EXPECT_FALSE(model.hasTexture);
    EXPECT_EQ(model.textureId, 0u);

    giveRedTexture(model);
    ASSERT_NE(model.textureId, 0u);
    EXPECT_EQ(model.magLinear, 1);
    const std::pair<int, GLint> filters[] = {
        {0, GL_LINEAR}, {1, GL_NEAREST_MIPMAP_NEAREST}, {2, GL_LINEAR_MIPMAP_LINEAR}, {5, GL_LINEAR_MIPMAP_LINEAR}};
    for (auto [mode, expected] : filters) {
        model.minFilterMode = mode;
        applyTextureFilters(model);
        GLint filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(filter, expected) << "filter mode " << mode;
        GLint magnification = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magnification);
        EXPECT_EQ(magnification, GL_LINEAR);
    }
}

}  // namespace
