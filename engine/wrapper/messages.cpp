#include "engine/wrapper/wrapper.h"

#include "engine/core/exception.h"
#include "engine/core/log.h"
#include "engine/platform/messageBox.h"

namespace engine {

void ShowMessage(const std::wstring& text, const std::wstring& caption) {
    platform::ShowMessageBox(text, caption, platform::MessageBoxOwner::None);
}

// The log raises with every ERROR row; here the row is all that is wanted.
void LogError(const std::string& text, const std::string& source, int line) {
    try {
        core::Logging::Get()->Error(text, source, line);
    } catch (const core::Exception&) {
    }
}

void LogWarning(const std::string& text, const std::string& source, int line) {
    core::Logging::Get()->Warning(text, source, line);
}

} // namespace engine
