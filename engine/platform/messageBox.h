#pragma once

#include <functional>
#include <string>

struct SDL_Window;

namespace engine::platform {

enum class MessageBoxOwner {
    None,   // a free-standing box
    Engine, // owned by the engine's window, when one exists
};

struct MessageBoxRequest {
    std::wstring text;
    std::wstring caption;
    MessageBoxOwner owner;
};

// Shows a modal box with an OK button: an SDL message box where a display
// exists, the text on stderr otherwise.
void ShowMessageBox(const std::wstring& text, const std::wstring& caption, MessageBoxOwner owner);

// Replaces how boxes are shown (tests record them instead); an empty handler
// restores the default. Returns the handler that was installed before.
using MessageBoxHandler = std::function<void(const MessageBoxRequest&)>;
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The window that owns boxes shown with MessageBoxOwner::Engine; null when
// the engine window is gone.
void SetMessageBoxOwnerWindow(SDL_Window* window);

} // namespace engine::platform
