#pragma once

#include "common/options.h"

#include "engine/core/module.h"

#include <string>

// A scene module as the start-up drives it.
class ShowModule : public engine::core::Module {
public:
    // Whether the scene file was loaded; without it there is nothing to show.
    virtual bool HasScene() const = 0;
    // Whether Start built everything; after a failure (already reported)
    // the show runs with what was built.
    virtual bool IsComplete() const = 0;
};

// Plays a show as the command line asks: an offline capture, or a window
// from the settings dialog (with `title`) or at the desktop's mode; the
// optional pixel-shader cap; the scene module under key 10100; the main
// loop. The program's exit status: 2 for capture settings the engine
// refuses, 1 when the scene is missing or incomplete.
int PlayShow(const Options& options, const std::wstring& title, ShowModule& scene);
