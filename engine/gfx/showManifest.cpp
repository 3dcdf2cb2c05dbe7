#include "engine/gfx/showManifest.h"

#include "engine/core/log.h"
#include "engine/gfx/luaWrapper.h"
#include "engine/gfx/particleEngine.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "engine\\showManifest";
constexpr int kLargestTarget = 16384;

// The emitter description's fields by name, as EmitterInfo calls them.
template <class T> struct Member {
    const char* name;
    T PlaneEmitterInfo::*member;
};
const Member<math::Vector4f> kColours[] = {
    {"color", &PlaneEmitterInfo::color},
    {"colorVelocity", &PlaneEmitterInfo::colorVelocity},
    {"colorVelocitySpread", &PlaneEmitterInfo::colorVelocitySpread}};
const Member<math::Vector3f> kMotions[] = {{"velocity", &PlaneEmitterInfo::velocity},
                                           {"velocitySpread", &PlaneEmitterInfo::velocitySpread},
                                           {"acceleration", &PlaneEmitterInfo::acceleration}};
const Member<float> kNumbers[] = {
    {"size", &PlaneEmitterInfo::size},         {"growth", &PlaneEmitterInfo::growth},
    {"spin", &PlaneEmitterInfo::spin},         {"spinSpread", &PlaneEmitterInfo::spinSpread},
    {"interval", &PlaneEmitterInfo::interval}, {"width", &PlaneEmitterInfo::width},
    {"depth", &PlaneEmitterInfo::depth}};
const Member<int> kCounts[] = {{"capacity", &PlaneEmitterInfo::capacity},
                               {"initialCount", &PlaneEmitterInfo::initialCount}};

// A number that a float holds.
bool IsFloat(const LuaTable& value) {
    return value.IsNumber() && std::fabs(value.ToNumber()) <= std::numeric_limits<float>::max();
}

// Reads the fields of one manifest; every complaint names the manifest and
// the field's path in it ("emitters[2].color").
class ManifestReader {
public:
    explicit ManifestReader(std::string path) : mPath(std::move(path)) {}

    [[noreturn]] void Fail(const std::string& field, const std::string& problem) const {
        core::Logging::Get()->Error(mPath + ": " + field + " " + problem, kSource, __LINE__);
    }

    const LuaTable& Present(const LuaTable& value, const std::string& field) const {
        if (value.IsNil())
            Fail(field, "is missing");
        return value;
    }

    std::string Text(const LuaTable& value, const std::string& field) const {
        if (!Present(value, field).IsString() || value.ToString().empty())
            Fail(field, "must be a text that is not empty");
        return value.ToString();
    }

    // A file named relative to the manifest's folder that must exist.
    std::string File(const LuaTable& value, const std::string& field) const {
        const std::string file = Text(value, field);
        std::error_code ec;
        const auto folder = std::filesystem::path(mPath).parent_path();
        if (!std::filesystem::is_regular_file(folder / file, ec))
            Fail(field, "names " + file + ", which does not exist");
        return file;
    }

    double Seconds(const LuaTable& value, const std::string& field) const {
        if (!IsFloat(Present(value, field)) || !(value.ToNumber() > 0.0))
            Fail(field, "must be a number of seconds above 0");
        return value.ToNumber();
    }

    float Number(const LuaTable& value, const std::string& field) const {
        if (!IsFloat(value))
            Fail(field, "must be a number");
        return static_cast<float>(value.ToNumber());
    }

    int Whole(const LuaTable& value, const std::string& field, int least, int most,
              const std::string& unit) const {
        const double number = Present(value, field).IsNumber() ? value.ToNumber() : -1.0;
        if (!value.IsNumber() || number != std::floor(number) || number < least || number > most)
            Fail(field, "must be a whole number of " + unit + " from " + std::to_string(least) +
                            " to " + std::to_string(most));
        return static_cast<int>(number);
    }

    // A list of exactly N numbers, as an emitter's colour or velocity.
    template <std::size_t N>
    std::array<float, N> Components(const LuaTable& value, const std::string& field) const {
        std::array<float, N> components{};
        bool fits = value.IsTable() && !value.HasElement(N + 1);
        for (std::size_t i = 0; fits && i < N; ++i) {
            const LuaTable element = value.Element(static_cast<int>(i + 1));
            fits = IsFloat(element);
            components[i] = fits ? static_cast<float>(element.ToNumber()) : 0.0f;
        }
        if (!fits)
            Fail(field, "must be a list of " + std::to_string(N) + " numbers");
        return components;
    }

    // Each element of an optional list, with its field path.
    template <class Read>
    void List(const LuaTable& list, const std::string& field, Read read) const {
        if (list.IsNil())
            return;
        if (!list.IsTable())
            Fail(field, "must be a list");
        for (int i = 1; list.HasElement(i); ++i) {
            const std::string item = field + "[" + std::to_string(i) + "]";
            const LuaTable element = list.Element(i);
            if (!element.IsTable())
                Fail(item, "must be a table");
            read(element, item);
        }
    }

    ShowTarget Target(const LuaTable& table, const std::string& field) const {
        ShowTarget target;
        target.name = Text(table.Field("name"), field + ".name");
        target.size = Whole(table.Field("size"), field + ".size", 1, kLargestTarget, "pixels");
        return target;
    }

    ShowEmitter Emitter(const LuaTable& table, const std::string& field) const {
        ShowEmitter emitter;
        const std::string kind = Text(table.Field("kind"), field + ".kind");
        if (kind == "plane")
            emitter.kind = ShowEmitter::Kind::Plane;
        else if (kind == "curve")
            emitter.kind = ShowEmitter::Kind::Curve;
        else if (kind != "particles")
            Fail(field + ".kind", "must be \"particles\", \"plane\" or \"curve\"");
        emitter.node = Text(table.Field("node"), field + ".node");
        emitter.effect = File(table.Field("effect"), field + ".effect");
        // The description's fields are optional: EmitterInfo's defaults stand.
        PlaneEmitterInfo& info = emitter.info;
        for (const auto& [name, member] : kColours)
            if (const LuaTable value = table.Field(name); !value.IsNil()) {
                const auto c = Components<4>(value, field + "." + name);
                info.*member = math::Vector4f(c[0], c[1], c[2], c[3]);
            }
        for (const auto& [name, member] : kMotions)
            if (const LuaTable value = table.Field(name); !value.IsNil()) {
                const auto c = Components<3>(value, field + "." + name);
                info.*member = math::Vector3f(c[0], c[1], c[2]);
            }
        for (const auto& [name, member] : kNumbers)
            if (const LuaTable value = table.Field(name); !value.IsNil())
                info.*member = Number(value, field + "." + name);
        for (const auto& [name, member] : kCounts)
            if (const LuaTable value = table.Field(name); !value.IsNil())
                info.*member =
                    Whole(value, field + "." + name, 0, kMaxParticleCapacity, "particles");
        return emitter;
    }

private:
    std::string mPath;
};

} // namespace

ShowManifest ReadShowManifest(const std::string& path) {
    const ManifestReader reader(path);
    LuaScript script(path);
    const LuaTable show = LuaTable::Global(script, "show");
    if (!reader.Present(show, "show").IsTable())
        reader.Fail("show", "must be a table");

    ShowManifest manifest;
    manifest.title = reader.Text(show.Field("title"), "title");
    manifest.scene = reader.File(show.Field("scene"), "scene");
    manifest.cameras = reader.File(show.Field("cameras"), "cameras");
    manifest.music = reader.File(show.Field("music"), "music");
    manifest.length = reader.Seconds(show.Field("length"), "length");
    reader.List(show.Field("targets"), "targets",
                [&](const LuaTable& table, const std::string& field) {
                    manifest.targets.push_back(reader.Target(table, field));
                });
    reader.List(show.Field("emitters"), "emitters",
                [&](const LuaTable& table, const std::string& field) {
                    manifest.emitters.push_back(reader.Emitter(table, field));
                });
    return manifest;
}

} // namespace engine::gfx
