#ifndef PONDQUEST_CVEC3_H
#define PONDQUEST_CVEC3_H

#include <cmath>

// A point or direction; plain value type with only the operators the game uses.
class CVec3 {
public:
    float x, y, z;

    CVec3(float x, float y, float z) : x(x), y(y), z(z) {}
    CVec3(const CVec3& v) : x(v.x), y(v.y), z(v.z) {}
    CVec3& operator=(const CVec3& v) {
        x = v.x;
        y = v.y;
        z = v.z;
        return *this;
    }
    CVec3& operator+=(const CVec3& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    CVec3 operator*(const float& s) const { return CVec3(x * s, y * s, z * s); }
    CVec3 operator-() const { return CVec3(-x, -y, -z); }
    CVec3 operator*(const CVec3& v) const { return CVec3(x * v.x, y * v.y, z * v.z); }
    // Summed and rooted in double so long vectors keep their precision.
    float Length() const {
        double dx = x, dy = y, dz = z;
        return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
    }
};

#endif
