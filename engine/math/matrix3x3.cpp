#include "engine/math/matrix3x3.h"

namespace engine::math {

const Matrix3x3 Matrix3x3::Identity(1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f);

} // namespace engine::math
