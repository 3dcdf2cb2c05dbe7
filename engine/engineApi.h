#pragma once

/// Marks the surface that libkovra.so exports to programs; everything else
/// is built with hidden visibility.
#define ENGINE_API __attribute__((visibility("default")))
