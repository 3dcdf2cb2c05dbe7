#pragma once

#include "engine/wrapper/wrapper.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the command line asks for.
struct Options {
    // Every word that is not a "--" option or its value, joined by spaces:
    // the classic options ("nodialog", "ps0" ... "ps30") are found in it by
    // plain substring search.
    std::string commandLine;
    bool help = false;
    std::optional<engine::CaptureSettings> capture;
    std::string error; // what is wrong with the line; empty when nothing is
};

// The arguments after the program name.
Options ParseOptions(const std::vector<std::string>& arguments);

bool WantsDialog(const std::string& commandLine);
// The pixel-shader version effects are capped at: each option found
// overrides those tested before it, in the fixed order ps0, ps11 ... ps30.
std::optional<std::uint32_t> ShaderCap(const std::string& commandLine);

// The help of the demo and of the player.
std::string HelpText();
std::string PlayerHelpText();
