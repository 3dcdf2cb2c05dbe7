// Tiles pictures of equal size into one contact sheet:
//   makeContactSheet OUT.png COLUMNS IN.png...
// Pictures are placed row by row, left to right, 4 pixels apart on black; a
// picture of another size than the first is refused.
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: makeContactSheet OUT.png COLUMNS IN.png...\n");
        return 2;
    }
    const int columns = std::atoi(argv[2]);
    const int count = argc - 3;
    if (columns < 1) {
        std::fprintf(stderr, "makeContactSheet: COLUMNS must be at least 1\n");
        return 2;
    }
    constexpr int kGap = 4;
    int width = 0, height = 0;
    std::vector<unsigned char> sheet;
    int sheetWidth = 0;
    for (int i = 0; i < count; ++i) {
        int w = 0, h = 0, channels = 0;
        unsigned char* pixels = stbi_load(argv[3 + i], &w, &h, &channels, 3);
        if (!pixels) {
            std::fprintf(stderr, "makeContactSheet: cannot read %s\n", argv[3 + i]);
            return 1;
        }
        if (i == 0) {
            width = w;
            height = h;
            const int rows = (count + columns - 1) / columns;
            sheetWidth = columns * width + (columns + 1) * kGap;
            sheet.assign(
                std::size_t(sheetWidth) * std::size_t(rows * height + (rows + 1) * kGap) * 3, 0);
        }
        if (w != width || h != height) {
            std::fprintf(stderr, "makeContactSheet: %s is %dx%d, not %dx%d\n", argv[3 + i], w, h,
                         width, height);
            stbi_image_free(pixels);
            return 1;
        }
        const int x0 = kGap + (i % columns) * (width + kGap);
        const int y0 = kGap + (i / columns) * (height + kGap);
        for (int y = 0; y < height; ++y)
            std::copy_n(
                pixels + std::size_t(y) * std::size_t(width) * 3, std::size_t(width) * 3,
                sheet.begin() +
                    std::ptrdiff_t(
                        (std::size_t(y0 + y) * std::size_t(sheetWidth) + std::size_t(x0)) * 3));
        stbi_image_free(pixels);
    }
    const int sheetHeight = int(sheet.size() / (std::size_t(sheetWidth) * 3));
    if (!stbi_write_png(argv[1], sheetWidth, sheetHeight, 3, sheet.data(), sheetWidth * 3)) {
        std::fprintf(stderr, "makeContactSheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
