#pragma once

#include <QChar>
#include <QList>
#include <QRect>
#include <QWidget>

// The characters a keyboard cannot type, in two columns of square cells:
// the 32 MouseText characters (Mac OS Roman bytes 0x80 to 0x9F), the first
// 16 and the solid apple down the left, the other 16 and the open apple down
// the right.
QList<QChar> paletteCharacters();
// Cells per column for a palette of the given number of characters.
int paletteRowCount(int characterCount);
// The side of a cell: 24 pixels at scale 2, 48 at scale 4.
int paletteCellSide(int scale);
QRect paletteCellRect(int index, int rowCount, int scale);
// The index of the cell under pos, or -1 outside every cell.
int paletteIndexAt(QPoint pos, int characterCount, int scale);

// The palette in the editor's "MouseText" dock: a click on a cell offers its
// character. It takes no keyboard focus, so the grid keeps its cursor.
class CharPaletteWidget : public QWidget {
    Q_OBJECT

public:
    explicit CharPaletteWidget(QWidget *parent = nullptr);

    int scale() const { return m_scale; }
    // 2 or 4, following the grid; other values and the current one are
    // ignored.
    void setScale(int scale);

Q_SIGNALS:
    void characterClicked(QChar ch);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void applySize();

    QList<QChar> m_characters;
    int m_rowCount = 0;
    int m_scale = 2;
};
