#pragma once

#include "linearimage.h"

#include <QImage>
#include <QSize>

// An image to import, in linear light, made smaller once (by a whole
// factor, averaging) when it is far larger than the screen needs, so that
// moving the crop or the framing only resamples a few million pixels.
// Transparent pixels are laid over black, the Apple II's background.
class SourceImage {
public:
    SourceImage() = default;
    explicit SourceImage(const QImage &image);

    bool isNull() const { return m_size.isEmpty(); }
    // The size of the image as it was given.
    QSize size() const { return m_size; }
    // Each pixel of linear() covers scale x scale pixels of the image.
    int scale() const { return m_scale; }
    const LinearImage &linear() const { return m_linear; }

private:
    QSize m_size;
    int m_scale = 1;
    LinearImage m_linear;
};
