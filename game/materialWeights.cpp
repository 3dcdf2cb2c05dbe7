#include "materialWeights.h"

using engine::math::Vector3f;

Vector3f MaterialWeights(float h) {
    if (h <= 0.03f)
        return Vector3f(1, 0, 0);
    if (h <= 0.05f)
        return Vector3f((0.05f - h) * 50.0f, (h - 0.03f) * 50.0f, 0);
    if (h <= 0.11f)
        return Vector3f(0, 1, 0);
    if (h <= 0.14f)
        return Vector3f(0, (0.14f - h) * 33.333f, (h - 0.11f) * 33.333f);
    return Vector3f(0, 0, 1);
}
