#include <game/FbxModel.h>

#include <game/TgaImage.h>

#include <GL/glu.h>

#include <algorithm>
#include <cstdio>

namespace {

template <typename T>
const T* entryAt(const std::vector<T>& items, int index) {
    return (index >= 0 && static_cast<std::size_t>(index) < items.size()) ? &items[static_cast<std::size_t>(index)]
                                                                          : nullptr;
}

int indexAt(const std::vector<std::vector<int>>& table, std::size_t polygon, std::size_t vertex) {
    if (polygon >= table.size() || vertex >= table[polygon].size()) {
        return -1;
    }
    return table[polygon][vertex];
}

}  // namespace

const std::vector<float>& currentPositions(const FbxModel& model) {
    const std::vector<float>* frame = entryAt(model.frames, model.positionsFrame);
    return frame ? *frame : model.positions;
}

void loadFbxModel(const std::string& fileName, FbxModel&) {
    std::printf("loading model '%s'...\n", fileName.c_str());
    // There is no importer to read the file with: the model stays empty,
    // and an empty model draws nothing.
    std::printf("Model '%s' could not be imported", fileName.c_str());
}

bool loadModelImage(FbxModel& model, const std::string& path, fbxsdk_2006_11_1::KFbxTexture* texture) {
    TgaImage tga;
    bool loaded = false;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        loaded = tgaRead(file, tga) == tgaOk;
        std::fclose(file);
    }
    if (loaded) {
        if (tga.descriptor & tgaRightToLeft) {
            tgaFlipHorizontal(tga);
        }
        if (tga.descriptor & tgaTopToBottom) {
            tgaFlipVertical(tga);
        }
        loaded = tgaConvertTo24(tga) == tgaOk;
    }
    if (!loaded) {
        std::printf("Unable to load the Texture '%s'", path.c_str());
        return false;
    }
    auto image = std::make_unique<ModelImage>();
    image->width = tga.width;
    image->height = tga.height;
    image->pixels = std::move(tga.pixels);
    image->texture = texture;
    model.image = image.get();
    model.images.push_back(std::move(image));
    return true;
}

void buildDrawArrays(FbxModel& model) {
    const auto count = static_cast<std::size_t>(std::max(model.vertexCount, 0));
    model.positions.assign(3 * count, 0.0f);
    model.normals.assign(3 * count, 0.0f);
    model.texCoords.assign(2 * count, 0.0f);

    static constexpr ModelPoint none{};
    static constexpr ModelUv noUv{};
    const std::size_t polygons =
        std::min(static_cast<std::size_t>(std::max(model.polygonCount, 0)), model.polygonSizes.size());
    std::size_t k = 0;  // positions and normals
    std::size_t t = 0;  // texture coordinates
    for (std::size_t p = 0; p < polygons; ++p) {
        for (int v = 0; v < model.polygonSizes[p]; ++v) {
            // Tables that promise more vertices than vertexCount are cut off
            // rather than written past the arrays.
            if (k >= count) {
                return;
            }
            const auto vertex = static_cast<std::size_t>(v);
            // An index the mesh does not hold reads as zero.
            const int c = indexAt(model.vertexIndices, p, vertex);
            const ModelPoint* point = entryAt(model.controlPoints, c);
            const ModelPoint* normal = entryAt(model.controlNormals, c);
            for (std::size_t i = 0; i < 3; ++i) {
                model.positions[3 * k + i] = static_cast<float>((point ? *point : none)[i]);
                model.normals[3 * k + i] = static_cast<float>((normal ? *normal : none)[i]);
            }
            ++k;
            if (model.hasTexture) {
                const ModelUv* uv = entryAt(model.uvs, indexAt(model.uvIndices, p, vertex));
                model.texCoords[2 * t] = static_cast<float>((uv ? *uv : noUv)[0]);
                model.texCoords[2 * t + 1] = static_cast<float>((uv ? *uv : noUv)[1]);
                ++t;
            }
        }
    }
}

void uploadModelTexture(FbxModel& model) {
    if (!model.hasTexture) {
        return;
    }
    const ModelImage* image = model.image;
    if (!image || image->width <= 0 || image->height <= 0 ||
        image->pixels.size() < static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 3) {
        model.hasTexture = false;
        return;
    }
    glGenTextures(1, &model.textureId);
    glBindTexture(GL_TEXTURE_2D, model.textureId);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Rows of three-byte pixels are tightly packed.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_BGR, GL_UNSIGNED_BYTE, image->pixels.data());
    glPopClientAttrib();
    applyTextureFilters(model);
}

void applyTextureFilters(FbxModel& model) {
    glBindTexture(GL_TEXTURE_2D, model.textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    model.magLinear = 1;
    switch (model.minFilterMode) {
    case 0:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, model.magLinear ? GL_LINEAR : GL_NEAREST);
        break;
    case 1:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
        break;
    case 2:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        break;
    default:
        break;
    }
}

bool bufferEntryPointsReady() {
    return glGenBuffersARB && glBindBufferARB && glBufferDataARB && glDeleteBuffersARB && glBufferSubDataARB;
}

void setupBuffers(FbxModel&) {
    // The entry points come from the driver of the current context; a
    // failed lookup (no context yet) is tried again by the next model.
    static bool looked = false;
    if (!looked) {
        looked = glewInit() == GLEW_OK;
    }
}

void setModelFrame(FbxModel& model, int n) {
    model.previousFrame = model.frame;
    if (model.frameCount <= 0) {
        model.frame = 0;
        return;
    }
    int frame = n % model.frameCount;
    if (frame < 0) {
        frame += model.frameCount;
    }
    model.frame = frame;
    model.positionsFrame = frame;
}
