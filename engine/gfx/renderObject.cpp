#include "engine/gfx/renderObject.h"

namespace engine::gfx {

BoundGeometry& LastBoundGeometry() {
    static BoundGeometry bound;
    return bound;
}

} // namespace engine::gfx
