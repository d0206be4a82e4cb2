#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>

// The picture of one text grid cell, drawn once for each character and look
// and then copied wherever it is needed: the Apple II font at 32 pixels,
// scaled so that its 8-dot em fills the cell's height (and, in 80 columns,
// squeezed to half width), white on black, black on white for inverse cells,
// on blue when the cell is selected.
class CellTiles {
public:
    // Drops every tile when the font family or the cell size changes.
    void prepare(const QString &family, int cellWidth, int cellHeight);

    // The cell showing ch (already turned from its inverse code into the
    // character it shows); a space is a plain cell.
    const QImage &tile(char32_t ch, bool inverse, bool selected);

private:
    QImage drawTile(char32_t ch, bool inverse, bool selected) const;

    QString m_family;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    QFont m_font;
    int m_ascent = 0;
    double m_scaleX = 1;
    double m_scaleY = 1;
    QHash<quint64, QImage> m_tiles;
};
