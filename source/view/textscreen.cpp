#include "textscreen.h"

#include "picturestate.h"
#include "render.h"
#include "screentext.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>

namespace {

constexpr int kCellWidth = 7;
constexpr int kCellHeight = 8;
constexpr int kTextRows = kScanLines / kCellHeight;  // 24

QFont textFont(const QString &family)
{
    QFont font;
    if (!family.isEmpty())
        font = QFont(family);
    font.setPixelSize(kCellHeight);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// One character drawn in the pen colour on a transparent image that holds
// just its pixels, also those of a fallback font's glyph that overhangs the
// 7 x 8 cell; offset is where the image lies from the cell's top-left.
struct Glyph {
    QImage image;
    QPoint offset;
};

// Laying text out for each of a screen's 1920 cells costs far more than the
// drawing: each glyph is drawn once per font and colour and then copied.
// Copies at whole-pixel positions give the same pixels as drawing there.
class GlyphCache {
public:
    void useFont(const QFont &font)
    {
        if (font != m_font) {
            m_font = font;
            m_glyphs.clear();
        }
    }

    const Glyph &glyph(char32_t code, bool black)
    {
        const quint64 key = (quint64(black) << 32) | code;
        auto it = m_glyphs.find(key);
        if (it == m_glyphs.end())
            it = m_glyphs.insert(key, draw(code, black));
        return *it;
    }

private:
    // Drawn on a canvas two cells wider on each side and a cell taller above
    // and below than the cell itself, then cut to the pixels it touched.
    Glyph draw(char32_t code, bool black) const
    {
        const QPoint cellOrigin(2 * kCellWidth, kCellHeight);
        QImage canvas(5 * kCellWidth, 3 * kCellHeight, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        {
            QPainter painter(&canvas);
            painter.setFont(m_font);
            painter.setPen(black ? Qt::black : Qt::white);
            painter.drawText(cellOrigin.x(), cellOrigin.y() + QFontMetrics(m_font).ascent(), QString::fromUcs4(&code, 1));
        }
        QRect ink;
        for (int y = 0; y < canvas.height(); ++y) {
            const QRgb *pixels = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
            for (int x = 0; x < canvas.width(); ++x)
                if (qAlpha(pixels[x]) != 0)
                    ink |= QRect(x, y, 1, 1);
        }
        return {canvas.copy(ink), ink.topLeft() - cellOrigin};
    }

    QFont m_font;
    QHash<quint64, Glyph> m_glyphs;
};

// Draws the screen's characters white on black, inverse ones black on a
// white cell, into an image one pixel per dot. The image is premultiplied,
// which the painter blends fastest; every pixel ends opaque, so the colours
// are the same as in plain ARGB. inked bounds every pixel drawn: outside it
// the image is black.
QImage drawText(const QStringList &lines, int columns, const QString &fontFamily, QRect &inked)
{
    static GlyphCache cache;
    cache.useFont(textFont(fontFamily));
    QImage image(columns * kCellWidth, kScanLines, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);

    for (int r = 0; r < lines.size() && r < kTextRows; ++r) {
        const QList<uint> line = lines.at(r).toUcs4();
        for (int c = 0; c < line.size() && c < columns; ++c) {
            char32_t code = line.at(c);
            const bool inverse = code >= kInverseFirst && code <= kInverseLast;
            if (inverse)
                code = code - kInverseFirst + 0x20;
            else if (code == U' ')
                continue;
            const QRect cell(c * kCellWidth, r * kCellHeight, kCellWidth, kCellHeight);
            if (inverse) {
                painter.fillRect(cell, Qt::white);
                inked |= cell;
            }
            const Glyph &glyph = cache.glyph(code, inverse);
            if (!glyph.image.isNull()) {
                painter.drawImage(cell.topLeft() + glyph.offset, glyph.image);
                inked |= QRect(cell.topLeft() + glyph.offset, glyph.image.size());
            }
        }
    }
    return image;
}

} // namespace

void renderTextScreen(PictureState &state, const QString &text, const QString &fontFamily)
{
    const ColumnMark mark = readColumnMark(text);
    const bool eightyColumns = mark.columns == 80;
    const QString content = text.mid(mark.length);
    const int columns = mark.columns;

    state.isDhgr = eightyColumns;
    state.auxMemory.fill(0);
    state.mainMemory.fill(0);
    QRect inked;
    const QImage image = drawText(content.split(QLatin1Char('\n')), columns, fontFamily, inked);

    // A text pixel is one DHGR dot (bitmap column x + 1) in 80 columns, one
    // HGR dot (bitmap columns 2x and 2x + 1) in 40. Only where something was
    // drawn can a pixel be lit.
    state.monoBitmap.assign(kMonoBytes, 0xFF);
    const QRect lit = inked & image.rect();
    for (int y = lit.top(); y <= lit.bottom(); ++y) {
        const QRgb *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        uchar *bits = state.monoBitmap.data() + size_t(y) * kMonoRowBytes;
        for (int x = lit.left(); x <= lit.right(); ++x) {
            if (qRed(pixels[x]) <= 0x80)
                continue;
            const int first = eightyColumns ? x + 1 : 2 * x;
            const int count = eightyColumns ? 1 : 2;
            for (int column = first; column < first + count; ++column)
                bits[column >> 3] &= uchar(~(0x80 >> (column & 7)));
        }
    }
    encodeMonoBitmap(state, eightyColumns);
}
