#include "swatchpanel.h"

#include "palettes.h"
#include "pictureedit.h"
#include "picturestate.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kSwatches = 16;
constexpr int kSide = 24;
constexpr int kPitch = 26;
constexpr int kMargin = 4;
}

QRect swatchRect(int index, int columns)
{
    return QRect((index % columns) * kPitch + kMargin, (index / columns) * kPitch + kMargin, kSide, kSide);
}

QSize swatchPanelSize(int columns)
{
    const int rows = (kSwatches + columns - 1) / columns;
    return QSize(columns * kPitch + 2 * kMargin, rows * kPitch + 2 * kMargin);
}

int swatchAt(QPoint point, int columns)
{
    for (int i = 0; i < kSwatches; ++i)
        if (swatchRect(i, columns).contains(point))
            return i;
    return -1;
}

SwatchPanel::SwatchPanel(QWidget *parent, const PictureState *pictureState)
    : QWidget(parent)
    , m_pictureState(pictureState)
{
    setFixedSize(swatchPanelSize(m_columns));
    update();
}

void SwatchPanel::setFloating(bool floating)
{
    m_columns = floating ? 8 : 1;
    setFixedSize(swatchPanelSize(m_columns));
    update();
}

void SwatchPanel::mousePressEvent(QMouseEvent *event)
{
    const int index = swatchAt(event->position().toPoint(), m_columns);
    if (index < 0)
        return;
    setSelectedIndex(index);
    Q_EMIT colorSelected(MRVO_ColorType(index));
}

void SwatchPanel::setSelectedIndex(int index)
{
    if (index < 0 || index >= kSwatches || index == m_selectedIndex)
        return;
    m_selectedIndex = quint8(index);
    update();
}

void SwatchPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    // The swatches follow the colour slot even while a tint is shown.
    const int slot = m_pictureState->paletteType < kPaletteSlots ? m_pictureState->paletteType : 0;
    for (int i = 0; i < kSwatches; ++i) {
        const QRect square = swatchRect(i, m_columns);
        painter.fillRect(square, QColor::fromRgb(paletteColor(*m_pictureState, slot, i)));
        if (i == m_selectedIndex) {
            painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(square.adjusted(-1, -1, 1, 1));
        }
    }
}
