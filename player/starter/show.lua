-- The manifest of a show for kovra-player. Paths are relative to this
-- folder; the engine reads everything else it needs from data/ below it
-- (effect files in data/fx/, a mesh's effect script beside the mesh).
show = {
  title = "My first show",
  -- The scene file; its meshes lie in data/scene.demo_scene/.
  scene = "data/scene.demo",
  -- Camera cues: a frame (1/25 s) and a camera of the scene on each line.
  cameras = "data/camera.txt",
  music = "data/music.mp3",
  -- Seconds; the show ends here, and so does a capture without --to.
  length = 8,
  -- Render targets that effect scripts draw into by name, made before the
  -- scene is loaded, for example { name = "glow", size = 256 }.
  targets = {},
  -- Particle emitters below nodes of the scene; kind is "particles",
  -- "plane" (born on a width x depth rectangle) or "curve" (a ribbon).
  emitters = {
    {
      node = "Spark", kind = "curve", effect = "data/spark.efx",
      color = { 1, 0.8, 0.3, 1 }, colorVelocity = { 0, -0.3, -0.1, -0.2 },
      interval = 0.05, capacity = 100, initialCount = 0,
    },
  },
}
