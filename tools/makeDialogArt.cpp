// Draws the settings dialog's banner (300 x 80, RGB) and window icon
// (32 x 32, RGBA) and writes them as PNG files into the given folder
// (default "data"): a dusk sky over a ridge with the engine's name.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// 5 x 7 glyphs, one row per byte, bit 4 leftmost.
const std::uint8_t* Glyph(char c) {
    static const std::uint8_t k[] = {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11};
    static const std::uint8_t o[] = {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E};
    static const std::uint8_t v[] = {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04};
    static const std::uint8_t r[] = {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11};
    static const std::uint8_t a[] = {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11};
    switch (c) {
    case 'K':
        return k;
    case 'O':
        return o;
    case 'V':
        return v;
    case 'R':
        return r;
    default:
        return a;
    }
}

bool InText(const std::string& text, int x, int y, int left, int top, int scale) {
    const int cell = 6 * scale;
    if (x < left || y < top || y >= top + 7 * scale)
        return false;
    const int index = (x - left) / cell;
    if (index >= static_cast<int>(text.size()))
        return false;
    const int column = (x - left - index * cell) / scale;
    if (column >= 5)
        return false;
    return (Glyph(text[index])[(y - top) / scale] >> (4 - column)) & 1;
}

double Ridge(double x) {
    return 58.0 + 7.0 * std::sin(x * 0.031) + 4.0 * std::sin(x * 0.083 + 1.3) +
           2.0 * std::sin(x * 0.21 + 0.4);
}

std::vector<std::uint8_t> Banner(int width, int height) {
    const Rgb top{0.07, 0.09, 0.22}, horizon{0.85, 0.45, 0.25}, ground{0.05, 0.07, 0.06};
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width * height * 3));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb colour = Mix(top, horizon, std::pow(y / (height - 1.0), 1.6));
            if (y > Ridge(x))
                colour = ground;
            if (InText("KOVRA", x, y, 24, 14, 5) || InText("KOVRA", x - 2, y - 2, 24, 14, 5))
                colour =
                    InText("KOVRA", x, y, 24, 14, 5) ? Rgb{0.97, 0.93, 0.85} : Rgb{0.1, 0.05, 0.1};
            std::uint8_t* p = &pixels[static_cast<size_t>((y * width + x) * 3)];
            p[0] = static_cast<std::uint8_t>(std::clamp(colour.r, 0.0, 1.0) * 255.0 + 0.5);
            p[1] = static_cast<std::uint8_t>(std::clamp(colour.g, 0.0, 1.0) * 255.0 + 0.5);
            p[2] = static_cast<std::uint8_t>(std::clamp(colour.b, 0.0, 1.0) * 255.0 + 0.5);
        }
    }
    return pixels;
}

// A round dusk badge with a K.
std::vector<std::uint8_t> Icon(int size) {
    std::vector<std::uint8_t> pixels(static_cast<size_t>(size * size * 4));
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - centre, y - centre);
            const double alpha = std::clamp(size / 2.0 - d, 0.0, 1.0);
            Rgb colour = Mix({0.07, 0.09, 0.22}, {0.85, 0.45, 0.25}, y / (size - 1.0));
            if (InText("K", x, y, 8, 5, 3))
                colour = {0.97, 0.93, 0.85};
            std::uint8_t* p = &pixels[static_cast<size_t>((y * size + x) * 4)];
            p[0] = static_cast<std::uint8_t>(colour.r * 255.0 + 0.5);
            p[1] = static_cast<std::uint8_t>(colour.g * 255.0 + 0.5);
            p[2] = static_cast<std::uint8_t>(colour.b * 255.0 + 0.5);
            p[3] = static_cast<std::uint8_t>(alpha * 255.0 + 0.5);
        }
    }
    return pixels;
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "data";
    const std::string banner = folder + "/dialogBanner.png";
    const std::string icon = folder + "/dialogIcon.png";
    if (!stbi_write_png(banner.c_str(), 300, 80, 3, Banner(300, 80).data(), 300 * 3) ||
        !stbi_write_png(icon.c_str(), 32, 32, 4, Icon(32).data(), 32 * 4)) {
        std::fprintf(stderr, "Could not write the dialog pictures into %s\n", folder.c_str());
        return 1;
    }
    std::printf("Wrote %s and %s\n", banner.c_str(), icon.c_str());
    return 0;
}
