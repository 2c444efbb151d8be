// Reading the pages the help viewer writes in its unattended mode.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct Ppm {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, row after row
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

inline bool ReadPpm(const std::string& path, Ppm* image) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    int maxValue = 0;
    const bool header =
        std::fscanf(in, "P6 %d %d %d", &image->width, &image->height, &maxValue) == 3 &&
        maxValue == 255 && std::fgetc(in) == '\n' && image->width > 0 && image->height > 0;
    std::vector<unsigned char> bytes(
        header ? static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * 3 : 0);
    const bool body = header && std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
    std::fclose(in);
    if (!body) return false;
    image->pixels.resize(bytes.size() / 3);
    for (size_t i = 0; i < image->pixels.size(); ++i)
        image->pixels[i] =
            static_cast<uint32_t>(bytes[i * 3] << 16 | bytes[i * 3 + 1] << 8 | bytes[i * 3 + 2]);
    return true;
}

// Pixels that are not white in a rectangle.
inline int CountNonWhite(const Ppm& image, int left, int top, int width, int height) {
    int count = 0;
    for (int y = top; y < top + height && y < image.height; ++y) {
        for (int x = left; x < left + width && x < image.width; ++x) {
            if (image.At(x, y) != 0xFFFFFF) ++count;
        }
    }
    return count;
}
