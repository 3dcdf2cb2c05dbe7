#include "landscape.h"

#include "terrainShape.h"
#include "treePositions.h"

Landscape GenerateLandscape(const TerrainConfig& config) {
    const TerrainShape shape(config);
    Landscape landscape;
    landscape.terrain = GenerateTerrainPatches(config, shape);
    landscape.grass = GenerateGrass(config, shape);
    landscape.trees = GenerateTreePositions(config, shape);
    return landscape;
}
