#pragma once

// Marks the surface that libengine.so exports to programs; everything else
// is built with hidden visibility.
#define ENGINE_API __attribute__((visibility("default")))
