#include "common/entryGuard.h"

#include "engine/core/exception.h"
#include "engine/wrapper/wrapper.h"

#include <exception>
#include <string>

namespace {

constexpr const char* kSource = ".\\entryGuard.cpp";

// Error texts from the library are ASCII in practice; any other byte is
// kept as the character of the same number rather than dropped.
std::wstring Wide(const std::string& text) {
    std::wstring wide;
    for (unsigned char c : text)
        wide += static_cast<wchar_t>(c);
    return wide;
}

void ShowUnexpected(const std::string& what, int line) {
    engine::LogError("Unexpected error: " + what, kSource, line);
    engine::ShowMessage(Wide(what), L"Unexpected error");
}

} // namespace

int RunGuarded(const std::function<int()>& body) {
    try {
        return body();
    } catch (const engine::core::Exception& e) {
        // Its ERROR row was written when it was raised.
        engine::ShowMessage(e.GetText(), e.GetFunction());
    } catch (const std::exception& e) {
        ShowUnexpected(e.what(), __LINE__);
    } catch (...) {
        ShowUnexpected("unknown exception", __LINE__);
    }
    return 1;
}
