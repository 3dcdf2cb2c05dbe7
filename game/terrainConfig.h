#pragma once

// Settings of the landscape generator; the defaults are the show's values.
struct TerrainConfig {
    float extentX = 200.0f;     // width of the terrain in scene units
    float extentZ = 200.0f;     // depth of the terrain
    float heightScale = 110.0f; // multiplier of the shaped height
    int resolution = 100;       // cells per side
    float textureScale = 0.2f;  // texture coordinates per scene unit
    float persistence = 0.45f;  // amplitude factor between noise octaves
    int octaves = 6;
    int patches = 5;           // terrain patches per side
    float frequency = 0.0195f; // noise coordinates per scene unit
    float offsetX = 180.5f;    // added to the noise coordinates
    float offsetZ = 178.0f;
    int grassPatches = 5;   // grass batches per side
    int grassGrid = 50;     // grass samples per grass patch side
    float tuftWidth = 2.5f; // also the jitter scale of grass samples
    float tuftHeight = 0.9f;
    int tuftSheets = 3;    // sheets per tuft, turned pi / sheets apart
    int tuftGrid = 3;      // cells per side of a sheet
    float tuftBend = 0.5f; // how far a sheet curls back with height
};
