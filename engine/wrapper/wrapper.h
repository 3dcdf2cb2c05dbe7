#pragma once

#include "engine/core/captureSettings.h"
#include "engine/core/windowSettings.h"
#include "engine/engineApi.h"
#include "engine/gfx/meshData.h"
#include "engine/gfx/showManifest.h"
#include "engine/platform/deviceInfo.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace engine::platform {
class Device;
}

namespace engine::gfx {
class Effect;
class Mesh;
class Node;
class Spatial;
struct RenderObject;
struct EmitterInfo;
struct PlaneEmitterInfo;
} // namespace engine::gfx

/// The free functions the engine exports to programs.
namespace engine {

namespace core {
class Module;
}

/// Modal settings dialog: the chosen display mode.
ENGINE_API WindowSettings SettingsDialog();

/// Opens the window and device from the settings and registers the engine's
/// standard modules: screen (key 1), renderer (10), input (2) and scene
/// information (12).
ENGINE_API void CreateKOVRAWindow(const WindowSettings& settings);
/// Caption of the show's window.
ENGINE_API void SetWindowTitle(std::wstring title);
/// ARGB colour the renderer clears the back buffer with.
ENGINE_API void SetClearColor(std::uint32_t color);
/// Capabilities read when the device was created.
ENGINE_API platform::DeviceCaps GetDirect3DCaps();
/// The graphics device (not for programs to keep past StartApplication).
ENGINE_API platform::Device* Direct3DDevice();
/// The current mode of the primary display (offscreen: the driver's own).
ENGINE_API platform::DisplayMode CurrentDisplayMode();

/// Turns the run into an offline capture (see CaptureSettings). Called before
/// CreateKOVRAWindow, which then makes the window at the capture's size;
/// raises on bad settings or a folder that cannot be made.
ENGINE_API void SetCapture(const CaptureSettings& settings);
/// Whether SetCapture turned this run into a capture.
ENGINE_API bool Capturing();

/// The music the timer plays and a video capture carries, "data/Vantor-
/// Kelmsong.mp3" unless set; set before StartApplication.
ENGINE_API void SetMusicFile(const std::string& path);
/// The show's length in seconds: where a capture whose settings give no end
/// stops. Set before SetCapture.
ENGINE_API void SetShowLength(double seconds);
/// Reads a show's manifest (see ShowManifest) in the bounded state effect
/// scripts run in; raises, naming the file and the field, when it is not one.
ENGINE_API gfx::ShowManifest ReadShowManifest(const std::string& path);

/// Registers a module under a key; the kernel starts it at once.
ENGINE_API void AddModule(core::Module* module, int key);
/// Adds the timer, runs the main loop until a quit, then deletes the engine's
/// modules and singletons. A capture is finished last; its failure raises.
/// Returns 0, or 128 + the signal that interrupted a capture.
ENGINE_API int StartApplication();
/// Ends the main loop after the current pass; safe at any time, also from a
/// module's Start.
ENGINE_API void QuitApplication();

/// Music time of the current pass in seconds; 0 before the timer has run.
ENGINE_API double GetTime();
/// Seconds since the previous pass; 0 before the timer has run.
ENGINE_API double GetSinceLast();
/// Waits on the wall clock. A capture's time does not pass on the wall clock,
/// so while capturing nothing is waited.
ENGINE_API void Sleep(std::uint32_t milliseconds);

/// A free-standing message box with an OK button; its text goes to standard
/// error where there is no display.
ENGINE_API void ShowMessage(const std::wstring& text, const std::wstring& caption);
/// Writes an ERROR row to the log without raising, for failures the program
/// handles itself.
ENGINE_API void LogError(const std::string& text, const std::string& source, int line);
/// Writes a WARNING row to the log.
ENGINE_API void LogWarning(const std::string& text, const std::string& source, int line);

/// Whether the key (a Win32 virtual-key code) went down in this pass.
ENGINE_API bool isPressed(int key);
/// Whether the key is down.
ENGINE_API bool isHeld(int key);
/// Whether the key came up in this pass.
ENGINE_API bool isReleased(int key);

/// Makes the render target `name` with an edge of `size` pixels and registers
/// it with the resource manager, replacing an earlier target of that name;
/// effects that name it later get this one.
ENGINE_API void CreateRenderTarget(const std::wstring& name, int size);

/// Pixel-shader version token (0xFFFF0200 for 2.0) that later effects may
/// use at most; effects whose variants all exceed it fall back.
ENGINE_API void SetTargetShaderVersion(std::uint32_t version);
/// An effect built from the script through the effect pool.
ENGINE_API std::shared_ptr<gfx::Effect> BuildEffect(const std::string& file);

/// Builds a mesh from copies of the caller's arrays (positions, normals,
/// texture coordinates, tangents, binormals; other keys are ignored), keeps it
/// in the resource manager and creates it. A Normal key with a null array
/// asks for generated normals if the effect needs them. indices holds
/// indexCount values of indexSize (2 or 4) bytes.
ENGINE_API std::shared_ptr<gfx::Mesh>
CreateMesh(const std::map<gfx::MeshData::DataTypes, void*>& streams, int* indices, int vertexCount,
           int indexCount, int indexSize, std::shared_ptr<gfx::Effect> effect);

/// A node with that parent pointer; it is not added to the parent's children.
ENGINE_API std::shared_ptr<gfx::Node> CreateNode(gfx::Spatial* parent);
/// A parentless node whose one child draws the mesh.
ENGINE_API std::shared_ptr<gfx::Node> CreateMeshNode(std::shared_ptr<gfx::Mesh> mesh);
/// A parentless node whose one child draws one of the (distance, mesh) levels.
ENGINE_API std::shared_ptr<gfx::Node>
CreateLODMeshNode(const std::vector<std::pair<float, std::shared_ptr<gfx::Mesh>>>& levels);

/// Makes `root` the scene the renderer draws, below its camera; a null root
/// is refused with a warning and the previous scene stays.
ENGINE_API void SetRootNode(std::shared_ptr<gfx::Spatial> root);
/// Hands one object to the renderer for this frame.
ENGINE_API void Render(std::shared_ptr<gfx::RenderObject> object);

/// A particle emitter at the node, added to its children (the node owns
/// it). A null node is refused with a warning; so in the two below.
ENGINE_API void AddParticleEmitter(gfx::Node* node, const gfx::EmitterInfo& info);
/// An emitter whose particles are born on a rectangle in the node's XZ plane.
ENGINE_API void AddPlaneParticleEmitter(gfx::Node* node, const gfx::PlaneEmitterInfo& info);
/// A ribbon behind the moving node: each spawn leaves a quad where the node is.
ENGINE_API void AddCurveEmitter(gfx::Node* node, const gfx::EmitterInfo& info);

} // namespace engine
