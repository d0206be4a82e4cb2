#include "celltiles.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kFontPixelSize = 32;
const QColor kSelectionColor(68, 68, 255);

} // namespace

void CellTiles::prepare(const QString &family, int cellWidth, int cellHeight)
{
    if (family == m_family && cellWidth == m_cellWidth && cellHeight == m_cellHeight)
        return;
    m_family = family;
    m_cellWidth = cellWidth;
    m_cellHeight = cellHeight;
    m_font = QFont(family);
    m_font.setPixelSize(kFontPixelSize);
    m_font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    const QFontMetrics metrics(m_font);
    m_ascent = metrics.ascent();
    // The font's em is the 8 dot rows of a character and its advance the 7
    // dot columns: the glyph fills a 7 x 8 cell in 40 columns, and the
    // half-width cell of 80 columns squeezes it.
    m_scaleY = double(cellHeight) / (metrics.ascent() + metrics.descent());
    m_scaleX = cellWidth * m_scaleY * 8 / (cellHeight * 7);
    m_tiles.clear();
}

const QImage &CellTiles::tile(char32_t ch, bool inverse, bool selected)
{
    const quint64 key = quint64(ch) | (quint64(inverse) << 32) | (quint64(selected) << 33);
    auto it = m_tiles.find(key);
    if (it == m_tiles.end())
        it = m_tiles.insert(key, drawTile(ch, inverse, selected));
    return *it;
}

QImage CellTiles::drawTile(char32_t ch, bool inverse, bool selected) const
{
    QImage image(m_cellWidth, m_cellHeight, QImage::Format_RGB32);
    image.fill(selected ? kSelectionColor : inverse ? QColor(Qt::white) : QColor(Qt::black));
    if (ch == U' ')
        return image;
    QPainter painter(&image);
    painter.setFont(m_font);
    painter.setPen(inverse ? Qt::black : Qt::white);
    painter.scale(m_scaleX, m_scaleY);
    painter.drawText(0, m_ascent, QString::fromUcs4(&ch, 1));
    return image;
}
