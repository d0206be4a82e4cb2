#include "charpalettewidget.h"

#include "resourcepath.h"
#include "screentext.h"
#include "textcodec.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kCellSideAtScale2 = 24;
constexpr int kFontPixelsAtScale2 = 18;

} // namespace

QList<QChar> paletteCharacters()
{
    QList<QChar> characters;
    for (int byte = 0x80; byte <= 0x8F; ++byte)
        characters << macRomanChar(uchar(byte));
    characters << QChar(kSolidApple);
    for (int byte = 0x90; byte <= 0x9F; ++byte)
        characters << macRomanChar(uchar(byte));
    characters << QChar(kOpenApple);
    return characters;
}

int paletteRowCount(int characterCount)
{
    return (characterCount + 1) / 2;
}

int paletteCellSide(int scale)
{
    return scale / 2 * kCellSideAtScale2;
}

QRect paletteCellRect(int index, int rowCount, int scale)
{
    const int side = paletteCellSide(scale);
    return QRect(index / rowCount * side, index % rowCount * side, side, side);
}

int paletteIndexAt(QPoint pos, int characterCount, int scale)
{
    const int rowCount = paletteRowCount(characterCount);
    for (int i = 0; i < characterCount; ++i)
        if (paletteCellRect(i, rowCount, scale).contains(pos))
            return i;
    return -1;
}

CharPaletteWidget::CharPaletteWidget(QWidget *parent)
    : QWidget(parent)
    , m_characters(paletteCharacters())
    , m_rowCount(paletteRowCount(int(m_characters.size())))
{
    setAttribute(Qt::WA_MouseTracking);
    applySize();
}

void CharPaletteWidget::applySize()
{
    const int side = paletteCellSide(m_scale);
    setFixedSize(2 * side, m_rowCount * side);
}

void CharPaletteWidget::setScale(int scale)
{
    if ((scale != 2 && scale != 4) || scale == m_scale)
        return;
    m_scale = scale;
    applySize();
    updateGeometry();
    update();
}

void CharPaletteWidget::mousePressEvent(QMouseEvent *event)
{
    const int index = paletteIndexAt(event->position().toPoint(), int(m_characters.size()), m_scale);
    if (index >= 0)
        Q_EMIT characterClicked(m_characters.at(index));
}

void CharPaletteWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(34, 34, 34));
    const QString family = appleFontFamily();
    if (family.isEmpty())
        return;
    QFont font(family);
    font.setPixelSize(m_scale / 2 * kFontPixelsAtScale2);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    painter.setFont(font);
    for (int i = 0; i < m_characters.size(); ++i) {
        const QRect cell = paletteCellRect(i, m_rowCount, m_scale);
        painter.setPen(QColor(68, 68, 68));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::white);
        painter.drawText(cell, Qt::AlignCenter, QString(m_characters.at(i)));
    }
}
