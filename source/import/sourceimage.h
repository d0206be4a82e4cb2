#pragma once

#include "linearimage.h"

#include <QImage>
#include <QSize>
#include <QSizeF>

// An image to import, in linear light, made smaller once (by a whole
// factor across and another down, averaging) when it is far larger than
// the screen needs, so that
// moving the crop or the framing only resamples a few million pixels.
// Transparent pixels are laid over black, the Apple II's background.
class SourceImage {
public:
    SourceImage() = default;
    explicit SourceImage(const QImage &image);

    bool isNull() const { return m_size.isEmpty(); }
    // The size of the image as it was given.
    QSize size() const { return m_size; }
    // Each pixel of linear() covers scale().width() x scale().height()
    // pixels of the image.
    QSizeF scale() const { return QSizeF(m_scaleX, m_scaleY); }
    const LinearImage &linear() const { return m_linear; }

private:
    QSize m_size;
    int m_scaleX = 1;
    int m_scaleY = 1;
    LinearImage m_linear;
};
