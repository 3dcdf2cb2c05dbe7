#include "engine/core/module.h"

namespace engine::core {

Module::Module() = default;
Module::Module(const Module& other) = default;
Module& Module::operator=(const Module& other) = default;
Module::~Module() = default;

bool Module::Load() {
    return true;
}
void Module::Pause() {}
bool Module::Paused() const {
    return false;
}
void Module::Resume() {}

} // namespace engine::core
