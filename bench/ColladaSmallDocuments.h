// Small COLLADA documents of the sizes that model collections hold, made
// here so that every machine times the same text: one textured model of
// about 0.34 MB (a single mesh of some 4 000 triangles with normals and
// texture coordinates, a camera and a light), and a mixed scene of about
// 0.73 MB (a dozen meshes, their materials and textures, lights, cameras, a
// node hierarchy with transforms, and animations). Their read times are
// dominated by what a read costs whatever the file, not by its numbers.
#ifndef BENCH_COLLADASMALLDOCUMENTS_H
#define BENCH_COLLADASMALLDOCUMENTS_H

#include <charconv>
#include <cmath>
#include <string>

namespace colladasmall {

inline void AppendNumber(std::string& text, double value) {
    char buffer[32];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 6);
    text.append(buffer, result.ptr);
    text += ' ';
}

inline const char* DocumentStart() {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
           "<asset><contributor><author>bench</author></contributor><created>2024-05-01T10:00:00Z</created>"
           "<modified>2024-05-01T10:00:00Z</modified><unit meter=\"0.01\" name=\"centimeter\"/>"
           "<up_axis>Y_UP</up_axis></asset>\n";
}

// A sphere of rings x segments quads as triangles, each corner naming its
// position, normal and texture coordinate, with the material symbol given.
inline std::string SphereGeometry(const std::string& id, int rings, int segments, double radius,
                                  const std::string& symbol) {
    std::string positions;
    std::string normals;
    std::string uvs;
    const double pi = std::acos(-1.0);
    for (int ring = 0; ring <= rings; ++ring) {
        const double theta = pi * ring / rings;
        for (int segment = 0; segment <= segments; ++segment) {
            const double phi = 2.0 * pi * segment / segments;
            const double x = std::sin(theta) * std::cos(phi);
            const double y = std::cos(theta);
            const double z = std::sin(theta) * std::sin(phi);
            AppendNumber(positions, radius * x);
            AppendNumber(positions, radius * y);
            AppendNumber(positions, radius * z);
            AppendNumber(normals, x);
            AppendNumber(normals, y);
            AppendNumber(normals, z);
            AppendNumber(uvs, static_cast<double>(segment) / segments);
            AppendNumber(uvs, 1.0 - static_cast<double>(ring) / rings);
        }
    }
    std::string indices;
    const int row = segments + 1;
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            const int a = ring * row + segment;
            for (const int point : {a, a + row, a + row + 1, a, a + row + 1, a + 1}) {
                const std::string index = std::to_string(point) + " ";
                indices += index;
                indices += index;
                indices += index;
            }
        }
    }
    static const char* const xyz[] = {"X", "Y", "Z"};
    static const char* const st[] = {"S", "T"};
    const int points = (rings + 1) * row;
    const auto source = [&](const std::string& name, const std::string& values, const char* const* params,
                            int stride) {
        std::string out = "<source id=\"" + id + "-" + name + "\"><float_array id=\"" + id + "-" + name +
                          "-array\" count=\"" + std::to_string(points * stride) + "\">" + values +
                          "</float_array><technique_common><accessor source=\"#" + id + "-" + name +
                          "-array\" count=\"" + std::to_string(points) + "\" stride=\"" + std::to_string(stride) +
                          "\">";
        for (int param = 0; param < stride; ++param) {
            out += std::string("<param name=\"") + params[param] + "\" type=\"float\"/>";
        }
        return out + "</accessor></technique_common></source>\n";
    };
    return "<geometry id=\"" + id + "\" name=\"" + id + "\"><mesh>\n" + source("positions", positions, xyz, 3) +
           source("normals", normals, xyz, 3) + source("uvs", uvs, st, 2) + "<vertices id=\"" + id +
           "-vertices\"><input semantic=\"POSITION\" source=\"#" + id + "-positions\"/></vertices>\n<triangles count=\"" +
           std::to_string(2 * rings * segments) + "\" material=\"" + symbol +
           "\"><input semantic=\"VERTEX\" source=\"#" + id +
           "-vertices\" offset=\"0\"/><input semantic=\"NORMAL\" source=\"#" + id +
           "-normals\" offset=\"1\"/><input semantic=\"TEXCOORD\" source=\"#" + id +
           "-uvs\" offset=\"2\" set=\"0\"/><p>" + indices + "</p></triangles>\n</mesh></geometry>\n";
}

inline std::string TexturedEffect(const std::string& id, const std::string& image) {
    return "<effect id=\"" + id + "\"><profile_COMMON><newparam sid=\"" + id +
           "-surface\"><surface type=\"2D\"><init_from>" + image + "</init_from></surface></newparam><newparam sid=\"" +
           id + "-sampler\"><sampler2D><source>" + id +
           "-surface</source></sampler2D></newparam><technique sid=\"common\"><phong><emission><color>0 0 0 1</color>"
           "</emission><ambient><color>0 0 0 1</color></ambient><diffuse><texture texture=\"" +
           id + "-sampler\" texcoord=\"UVSET0\"/></diffuse><specular><color>0.5 0.5 0.5 1</color></specular>"
           "<shininess><float>20</float></shininess></phong></technique></profile_COMMON></effect>\n";
}

inline std::string ColourEffect(const std::string& id, double red, double green, double blue) {
    std::string colour;
    AppendNumber(colour, red);
    AppendNumber(colour, green);
    AppendNumber(colour, blue);
    return "<effect id=\"" + id + "\"><profile_COMMON><technique sid=\"common\"><lambert><emission><color>0 0 0 1"
           "</color></emission><diffuse><color>" + colour + "1</color></diffuse></lambert></technique>"
           "</profile_COMMON></effect>\n";
}

inline std::string Bind(const std::string& symbol, const std::string& material) {
    return "<bind_material><technique_common><instance_material symbol=\"" + symbol + "\" target=\"#" + material +
           "\"><bind_vertex_input semantic=\"UVSET0\" input_semantic=\"TEXCOORD\" input_set=\"0\"/>"
           "</instance_material></technique_common></bind_material>";
}

inline const char* CameraAndLightLibraries() {
    return "<library_cameras><camera id=\"camera\" name=\"camera\"><optics><technique_common><perspective>"
           "<yfov>37.8</yfov><aspect_ratio>1.5</aspect_ratio><znear>1</znear><zfar>10000</zfar></perspective>"
           "</technique_common></optics></camera></library_cameras>\n"
           "<library_lights><light id=\"light\" name=\"light\"><technique_common><point><color>1 1 1</color>"
           "<constant_attenuation>1</constant_attenuation><linear_attenuation>0</linear_attenuation>"
           "<quadratic_attenuation>0</quadratic_attenuation></point></technique_common></light>"
           "<light id=\"sun\" name=\"sun\"><technique_common><directional><color>1 0.9 0.8</color></directional>"
           "</technique_common></light></library_lights>\n";
}

inline const char* CameraAndLightNodes() {
    return "<node id=\"cameraNode\" name=\"cameraNode\"><translate sid=\"translate\">400 300 500</translate>"
           "<rotate sid=\"rotateY\">0 1 0 40</rotate><rotate sid=\"rotateX\">1 0 0 -22</rotate>"
           "<instance_camera url=\"#camera\"/></node>\n"
           "<node id=\"lightNode\" name=\"lightNode\"><translate sid=\"translate\">-500 1000 400</translate>"
           "<instance_light url=\"#light\"/></node>\n";
}

// One textured model: a sphere of 4 608 triangles, a camera and a light.
inline std::string TexturedModelDocument() {
    return std::string(DocumentStart()) + CameraAndLightLibraries() +
           "<library_images><image id=\"skin-image\"><init_from>./skin.tga</init_from></image></library_images>\n"
           "<library_effects>" + TexturedEffect("skin-fx", "skin-image") +
           "</library_effects>\n<library_materials><material id=\"skin\"><instance_effect url=\"#skin-fx\"/>"
           "</material></library_materials>\n<library_geometries>" + SphereGeometry("model", 36, 64, 100.0, "skin") +
           "</library_geometries>\n<library_visual_scenes><visual_scene id=\"scene\" name=\"scene\">" +
           CameraAndLightNodes() +
           "<node id=\"model\" name=\"model\"><rotate sid=\"rotateY\">0 1 0 30</rotate>"
           "<instance_geometry url=\"#model\">" + Bind("skin", "skin") +
           "</instance_geometry></node>\n</visual_scene></library_visual_scenes>\n"
           "<scene><instance_visual_scene url=\"#scene\"/></scene>\n</COLLADA>\n";
}

// A mixed scene: twelve meshes under a hierarchy of 48 nodes with
// translate, three rotates and scale each, twelve materials (four
// textured), two lights, a camera, and keyed rotations on six nodes.
inline std::string MixedSceneDocument() {
    constexpr int kMeshes = 12;
    constexpr int kGroups = 6;
    constexpr int kNodesPerGroup = 8;
    std::string images = "<library_images>";
    std::string effects = "<library_effects>";
    std::string materials = "<library_materials>";
    std::string geometries = "<library_geometries>";
    for (int mesh = 0; mesh < kMeshes; ++mesh) {
        const std::string id = "m" + std::to_string(mesh);
        if (mesh % 3 == 0) {
            images += "<image id=\"" + id + "-image\"><init_from>./" + id + ".png</init_from></image>";
            effects += TexturedEffect(id + "-fx", id + "-image");
        } else {
            effects += ColourEffect(id + "-fx", 0.1 * mesh, 0.5, 1.0 - 0.05 * mesh);
        }
        materials += "<material id=\"" + id + "-material\"><instance_effect url=\"#" + id + "-fx\"/></material>";
        geometries += SphereGeometry(id + "-geometry", 14 + mesh % 3, 28, 10.0 + mesh, "surface");
    }
    images += "</library_images>\n";
    effects += "</library_effects>\n";
    materials += "</library_materials>\n";
    geometries += "</library_geometries>\n";
    std::string nodes;
    for (int group = 0; group < kGroups; ++group) {
        const std::string groupId = "group" + std::to_string(group);
        nodes += "<node id=\"" + groupId + "\" name=\"" + groupId + "\"><translate sid=\"translate\">" +
                 std::to_string(group * 100) + " 0 0</translate>";
        for (int child = 0; child < kNodesPerGroup; ++child) {
            const int index = group * kNodesPerGroup + child;
            const std::string id = "node" + std::to_string(index);
            const std::string mesh = "m" + std::to_string(index % kMeshes);
            nodes += "<node id=\"" + id + "\" name=\"" + id + "\"><translate sid=\"translate\">0 " +
                     std::to_string(child * 30) + " 0</translate><rotate sid=\"rotateZ\">0 0 1 " +
                     std::to_string(child * 5) + "</rotate><rotate sid=\"rotateY\">0 1 0 " + std::to_string(index) +
                     "</rotate><rotate sid=\"rotateX\">1 0 0 0</rotate><scale sid=\"scale\">1 1 1</scale>"
                     "<instance_geometry url=\"#" + mesh + "-geometry\">" + Bind("surface", mesh + "-material") +
                     "</instance_geometry></node>";
        }
        nodes += "</node>\n";
    }
    // Keyed rotations: time and angle sources, a linear sampler, a channel.
    std::string animations = "<library_animations>";
    for (int group = 0; group < kGroups; ++group) {
        const std::string node = "node" + std::to_string(group * kNodesPerGroup);
        const std::string anim = node + "-rotateY";
        animations += "<animation id=\"" + anim + "\"><source id=\"" + anim + "-input\"><float_array id=\"" + anim +
                      "-input-array\" count=\"5\">0 0.5 1 1.5 2</float_array><technique_common><accessor source=\"#" +
                      anim + "-input-array\" count=\"5\"><param name=\"TIME\" type=\"float\"/></accessor>"
                      "</technique_common></source><source id=\"" + anim + "-output\"><float_array id=\"" + anim +
                      "-output-array\" count=\"5\">0 90 180 270 360</float_array><technique_common><accessor "
                      "source=\"#" + anim + "-output-array\" count=\"5\"><param name=\"ANGLE\" type=\"float\"/>"
                      "</accessor></technique_common></source><source id=\"" + anim +
                      "-interpolation\"><Name_array id=\"" + anim +
                      "-interpolation-array\" count=\"5\">LINEAR LINEAR LINEAR LINEAR LINEAR</Name_array>"
                      "<technique_common><accessor source=\"#" + anim +
                      "-interpolation-array\" count=\"5\"><param name=\"INTERPOLATION\" type=\"Name\"/></accessor>"
                      "</technique_common></source><sampler id=\"" + anim +
                      "-sampler\"><input semantic=\"INPUT\" source=\"#" + anim +
                      "-input\"/><input semantic=\"OUTPUT\" source=\"#" + anim +
                      "-output\"/><input semantic=\"INTERPOLATION\" source=\"#" + anim +
                      "-interpolation\"/></sampler><channel source=\"#" + anim + "-sampler\" target=\"" + node +
                      "/rotateY.ANGLE\"/></animation>\n";
    }
    animations += "</library_animations>\n";
    return std::string(DocumentStart()) + animations + CameraAndLightLibraries() + images + effects + materials +
           geometries + "<library_visual_scenes><visual_scene id=\"scene\" name=\"scene\">" + CameraAndLightNodes() +
           "<node id=\"sunNode\" name=\"sunNode\"><rotate sid=\"rotateX\">1 0 0 -60</rotate>"
           "<instance_light url=\"#sun\"/></node>\n" +
           nodes + "</visual_scene></library_visual_scenes>\n<scene><instance_visual_scene url=\"#scene\"/></scene>\n"
           "</COLLADA>\n";
}

}  // namespace colladasmall

#endif
