#pragma once

#include <bit>
#include <cstdint>
#include <string>

namespace kovra::tools {

// Little-endian writer for hand-made ".demo" files.
struct DemoBytes {
    std::string bytes;

    DemoBytes& Raw(const std::string& s) {
        bytes += s;
        return *this;
    }
    DemoBytes& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((v >> (8 * i)) & 0xff);
        return *this;
    }
    DemoBytes& Float(float f) { return U32(std::bit_cast<std::uint32_t>(f)); }
    DemoBytes& String(const std::string& s) {
        U32(static_cast<std::uint32_t>(s.size()));
        return Raw(s);
    }
    DemoBytes& Header(std::uint32_t objects, std::uint32_t length = 0) {
        return Raw("DEMO").U32(objects).U32(length);
    }
    // Location and rotation (radians), then the curve count.
    DemoBytes& Object(const std::string& kind, const std::string& name, const std::string& data,
                      const std::string& parent, float lx, float ly, float lz, float rx, float ry,
                      float rz, std::uint32_t curves) {
        String(kind).String(name).String(data).String(parent);
        return Float(lx).Float(ly).Float(lz).Float(rx).Float(ry).Float(rz).U32(curves);
    }
    DemoBytes& Curve(const std::string& channel, const std::string& interpolation,
                     const std::string& extrapolation, std::uint32_t keys) {
        return String(channel).String(interpolation).String(extrapolation).U32(keys);
    }
    // Left handle, time, value, right handle.
    DemoBytes& Key(float lx, float ly, float t, float v, float rx, float ry) {
        return Float(lx).Float(ly).Float(t).Float(v).Float(rx).Float(ry);
    }
    // A curve that holds one value from frame 1 on.
    DemoBytes& Hold(const std::string& channel, float value) {
        return Curve(channel, "Constant", "Constant", 1).Key(0, 0, 1, value, 0, 0);
    }
};

} // namespace kovra::tools
