#include "textscreen.h"

#include "picturestate.h"
#include "render.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

constexpr int kCellWidth = 7;
constexpr int kCellHeight = 8;
constexpr int kTextRows = kScanLines / kCellHeight;  // 24
constexpr char32_t kInverseFirst = 0xF000;
constexpr char32_t kInverseLast = 0xF05E;

QFont textFont(const QString &family)
{
    QFont font;
    if (!family.isEmpty())
        font = QFont(family);
    font.setPixelSize(kCellHeight);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// Draws the screen's characters white on black, inverse ones black on a
// white cell, into an image one pixel per dot.
QImage drawText(const QStringList &lines, int columns, const QString &fontFamily)
{
    QImage image(columns * kCellWidth, kScanLines, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setFont(textFont(fontFamily));
    painter.setPen(Qt::white);
    const int ascent = painter.fontMetrics().ascent();

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
                painter.setPen(Qt::black);
            }
            painter.drawText(cell.left(), cell.top() + ascent, QString::fromUcs4(&code, 1));
            if (inverse)
                painter.setPen(Qt::white);
        }
    }
    return image;
}

} // namespace

void renderTextScreen(PictureState &state, const QString &text, const QString &fontFamily)
{
    const bool eightyColumns = text.startsWith(QLatin1String("80"));
    const QString content = eightyColumns ? text.mid(2) : text;
    const int columns = eightyColumns ? 80 : 40;

    state.isDhgr = eightyColumns;
    state.auxMemory.fill(0);
    state.mainMemory.fill(0);
    const QImage image = drawText(content.split(QLatin1Char('\n')), columns, fontFamily);

    // A text pixel is one DHGR dot (bitmap column x + 1) in 80 columns, one
    // HGR dot (bitmap columns 2x and 2x + 1) in 40.
    state.monoBitmap.assign(kMonoBytes, 0xFF);
    for (int y = 0; y < kScanLines; ++y) {
        const QRgb *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        uchar *bits = state.monoBitmap.data() + size_t(y) * kMonoRowBytes;
        for (int x = 0; x < image.width(); ++x) {
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
