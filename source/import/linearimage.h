#pragma once

#include <array>
#include <cstddef>
#include <vector>

// A colour in linear light, red, green and blue from 0 to 1: what light a
// screen gives off, so that colours mix by adding, as neighbouring dots do
// once the eye blurs them.
using LinearRgb = std::array<float, 3>;

// A picture in linear light, row after row.
struct LinearImage {
    int width = 0;
    int height = 0;
    std::vector<LinearRgb> pixels;

    LinearImage() = default;
    LinearImage(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), LinearRgb{0, 0, 0}) {}

    LinearRgb &at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    const LinearRgb &at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};
