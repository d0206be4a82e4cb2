#include "sharpstretch.h"

#include "viewgeometry.h"

#include <algorithm>
#include <cstring>
#include <vector>

QImage stretchedPart(const QImage &image, QSize widgetSize, const QRect &part)
{
    if (image.isNull() || part.isEmpty() || widgetSize.isEmpty())
        return QImage();
    // Pixels are copied whole; 32-bit formats keep their own.
    const QImage source = image.depth() == 32 ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(part.size(), source.format());
    const auto unit = [](int p, int count, int span) {
        return std::clamp(ViewGeometry::unitUnder(p, count, span), 0, count - 1);
    };
    std::vector<int> columns(size_t(part.width()));
    for (int i = 0; i < part.width(); ++i)
        columns[size_t(i)] = unit(part.left() + i, source.width(), widgetSize.width());
    int previous = -1;
    for (int j = 0; j < part.height(); ++j) {
        const int row = unit(part.top() + j, source.height(), widgetSize.height());
        auto *to = reinterpret_cast<quint32 *>(out.scanLine(j));
        if (row == previous) {
            std::memcpy(to, out.constScanLine(j - 1), size_t(part.width()) * sizeof(quint32));
            continue;
        }
        const auto *from = reinterpret_cast<const quint32 *>(source.constScanLine(row));
        for (int i = 0; i < part.width(); ++i)
            to[i] = from[columns[size_t(i)]];
        previous = row;
    }
    return out;
}
