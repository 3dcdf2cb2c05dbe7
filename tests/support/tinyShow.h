#pragma once

#include "demoBytes.h"
#include "scratchDir.h"

#include <filesystem>
#include <string>

namespace kovra::test {

// A small stand-in for the show's data, enough for the scene module to build
// everything it builds: "data/tree.demo" with a camera "Cam" that moves
// along x for its first four seconds and looks down onto the terrain, the
// nodes "TreePlace", "TheCurve" (which moves) and "Beast"; the five effect
// scripts the module asks for, each drawing one flat colour; and a camera
// schedule.
inline void WriteTinyShow(const std::filesystem::path& data = "data") {
    namespace fs = std::filesystem;
    fs::create_directories(data / "fx");
    // One effect file per script, each with its own colour.
    const std::pair<const char*, const char*> scripts[] = {{"terrain", "0.3, 0.6, 0.2"},
                                                           {"grass", "0.5, 0.8, 0.3"},
                                                           {"tree", "0.4, 0.25, 0.1"},
                                                           {"leaf", "0.1, 0.5, 0.1"},
                                                           {"curve", "1, 0, 0"}};
    for (const auto& [name, colour] : scripts) {
        const std::string fx = std::string(name) + "Flat";
        WriteFile(data / "fx" / (fx + ".fx"),
                  std::string("float4x4 wvp : WorldViewProjection;\n"
                              "vertexshader flatVS {\n"
                              "    void main() { gl_Position = POSITION * wvp; }\n"
                              "}\n"
                              "pixelshader flatPS {\n"
                              "    void main() { COLOR0 = vec4(") +
                      colour +
                      ", 1.0); }\n"
                      "}\n"
                      "technique Flat {\n"
                      "    pass P0 {\n"
                      "        VertexShader = compile vs_2_0 flatVS();\n"
                      "        PixelShader = compile ps_2_0 flatPS();\n"
                      "        CullMode = None;\n"
                      "    }\n"
                      "}\n");
        WriteFile(data / (std::string(name) + ".efx"),
                  "effect = {\n  { priority = 1, pass = { { fx = \"" + fx +
                      "\", tec = \"Flat\", params = {}, streams = { \"pos\" } } } },\n}\n");
    }
    DemoBytes demo;
    demo.Header(4, 100);
    demo.Object("Camera", "Cam", "", "", 0, 120, -160, 0.6f, 0, 0, 1)
        .Curve("LocX", "Linear", "Constant", 2)
        .Key(0, 0, 1, -20, 0, 0)
        .Key(0, 0, 101, 20, 0, 0);
    demo.Object("Empty", "TreePlace", "", "", 0, 0, 0, 0, 0, 0, 0);
    // Close in front of the camera, so that its ribbon shows at any size.
    demo.Object("Empty", "TheCurve", "", "", 0, 100, -130, 0, 0, 0, 1)
        .Curve("LocX", "Linear", "Cyclic", 2)
        .Key(0, 0, 1, -10, 0, 0)
        .Key(0, 0, 26, 10, 0, 0);
    demo.Object("Empty", "Beast", "", "", 0, 20, 0, 0, 0, 0, 0);
    WriteFile(data / "tree.demo", demo.bytes);
    WriteFile(data / "camera.txt", "0 Cam\n");
}

} // namespace kovra::test
