#pragma once

#include <functional>

// Runs the program's body and returns its exit status. Whatever escapes it
// (the engine's Exception, std::bad_alloc or any other error) is shown in a
// message box and ends the program with status 1; errors the engine did not
// raise itself are logged as well.
int RunGuarded(const std::function<int()>& body);
