#include <fbxfilesdk/formats/KFbxWriter3DSFinite.h>

#include <cmath>

namespace fbxsdk_2006_11_1::writer3ds {

namespace {

std::size_t Zero(float& value) {
    if (std::isfinite(value)) {
        return 0;
    }
    value = 0.0f;
    return 1;
}

std::size_t Zero(point3ds& point) { return Zero(point.x) + Zero(point.y) + Zero(point.z); }
std::size_t Zero(color3ds& colour) { return Zero(colour.red) + Zero(colour.green) + Zero(colour.blue); }
std::size_t Zero(texvertex3ds& uv) { return Zero(uv.u) + Zero(uv.v); }
std::size_t Zero(rotkey3ds& key) { return Zero(key.angle) + Zero(key.x) + Zero(key.y) + Zero(key.z); }

template <class Value>
std::size_t ZeroAll(Value* values, std::size_t count) {
    std::size_t zeroed = 0;
    for (std::size_t index = 0; values != nullptr && index < count; ++index) {
        zeroed += Zero(values[index]);
    }
    return zeroed;
}

template <class Value>
std::size_t Zero(kftrack3ds<Value>& track) {
    return ZeroAll(track.values, track.keycount);
}

}  // namespace

std::size_t ZeroNonFinite(mesh3ds& mesh) {
    return ZeroAll(mesh.vertices, mesh.vertexcount) + ZeroAll(mesh.texverts, mesh.texvertcount) +
           ZeroAll(mesh.localmatrix, sizeof mesh.localmatrix / sizeof mesh.localmatrix[0]);
}

std::size_t ZeroNonFinite(material3ds& material) {
    return Zero(material.ambient) + Zero(material.diffuse) + Zero(material.specular) + Zero(material.shininess) +
           Zero(material.shinstrength) + Zero(material.transparency) + Zero(material.selfillum);
}

std::size_t ZeroNonFinite(light3ds& light) {
    std::size_t zeroed = Zero(light.position) + Zero(light.color) + Zero(light.multiplier);
    if (light.spot != nullptr) {
        zeroed += Zero(light.spot->target) + Zero(light.spot->hotspot) + Zero(light.spot->falloff);
    }
    return zeroed;
}

std::size_t ZeroNonFinite(camera3ds& camera) {
    return Zero(camera.position) + Zero(camera.target) + Zero(camera.roll) + Zero(camera.fov);
}

std::size_t ZeroNonFinite(background3ds& background) { return Zero(background.solid); }

std::size_t ZeroNonFinite(kfmesh3ds& motion) {
    return Zero(motion.position) + Zero(motion.rotation) + Zero(motion.scale);
}

std::size_t ZeroNonFinite(kfomni3ds& motion) { return Zero(motion.position) + Zero(motion.color); }

std::size_t ZeroNonFinite(kfspot3ds& motion) {
    return Zero(motion.position) + Zero(motion.color) + Zero(motion.hotspot) + Zero(motion.falloff) +
           Zero(motion.roll) + Zero(motion.targetposition);
}

std::size_t ZeroNonFinite(kfcamera3ds& motion) {
    return Zero(motion.position) + Zero(motion.fov) + Zero(motion.roll) + Zero(motion.targetposition);
}

}  // namespace fbxsdk_2006_11_1::writer3ds
