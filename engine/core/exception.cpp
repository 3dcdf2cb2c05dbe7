#include "engine/core/exception.h"

#include <utility>

namespace engine::core {

Exception::Exception(std::wstring text, std::wstring function)
    : mText(std::move(text)), mFunction(std::move(function)) {}

Exception::Exception(const Exception& other) = default;

Exception& Exception::operator=(const Exception& other) = default;

Exception::~Exception() = default;

} // namespace engine::core
