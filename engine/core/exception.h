#pragma once

#include "engine/engineApi.h"

#include <string>

namespace engine::core {

/// The engine's only error type. Raised by Logging::Error after the ERROR row
/// is written; thrown and caught by value.
class ENGINE_API Exception {
public:
    Exception(std::wstring text, std::wstring function);
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    ~Exception();

    std::wstring GetText() const { return mText; }
    std::wstring GetFunction() const { return mFunction; }

private:
    std::wstring mText;
    std::wstring mFunction;
};

} // namespace engine::core
