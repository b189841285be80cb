#include <game/GameObject.h>

#include <GL/glew.h>
#include <GL/glut.h>

#include <cmath>

bool spheresOverlap(const Vec3& a, const Vec3&, const Vec3& b, float radiusA, float radiusB) {
    const double dx = static_cast<double>(a[0]) - b[0];
    const double dy = static_cast<double>(a[1]) - b[1];
    const double dz = static_cast<double>(a[2]) - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz) <= static_cast<double>(radiusA) + radiusB;
}

void drawHitBar(const HitBar& bar, const Vec3& base, float edge, int health) {
    // A matrix of its own: the object's model is placed from the caller's
    // matrix, not from the top of the bar.
    glPushMatrix();
    glTranslatef(base[0], base[1], base[2]);
    for (int cube = 0; cube < bar.cubes; ++cube) {
        if (bar.cubeGreen(cube, health)) {
            glColor3f(0.0f, 1.0f, 0.0f);
        } else {
            glColor3f(1.0f, 0.0f, 0.0f);
        }
        glutSolidCube(edge);
        glTranslatef(0.0f, edge, 0.0f);
    }
    glPopMatrix();
}

void drawBoundingSphere(const Vec3& centre, float radius) {
    glPushMatrix();
    glTranslatef(centre[0], centre[1], centre[2]);
    glutWireSphere(radius, 10, 10);
    glPopMatrix();
}
