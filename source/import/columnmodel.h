#pragma once

#include "linearimage.h"
#include "picturedots.h"

#include <QImage>

#include <vector>

// What colour an engine gives each column of the 562-column frame, as a
// table of the dots around it, read off the renderer itself: random
// pictures are rendered with the view options and every column's colour is
// filed under its place and the dots it can see. Every engine colours a
// column from a few dots on either side of it on its own scan line (at most
// four dots before and three after in DHGR, two either side in HGR, with
// the palette bits of their bytes), so the table foretells the frame
// exactly, and a change of one dot can be judged by looking up the few
// columns it reaches.
class ColumnModel {
public:
    ColumnModel(const ViewOptions &view, bool dhgr);

    bool isDhgr() const { return m_dhgr; }
    const ViewOptions &view() const { return m_view; }

    // The colour of column c (0 to 561) of a line, an index into colours().
    int colourAt(const PictureDots &dots, int row, int column) const
    {
        return m_table[size_t(classOf(column)) * m_keys + size_t(keyAt(dots, row, column))];
    }
    const std::vector<LinearRgb> &colours() const { return m_colours; }

    // The columns whose colour a change of dot x, or of the palette bit of
    // HGR byte k, can change (clipped to the frame).
    void columnsOfDot(int x, int &first, int &last) const;
    void columnsOfByte(int k, int &first, int &last) const;

    // The frame the engine draws for the dots, from the table.
    QImage predictFrame(const PictureDots &dots) const;

private:
    int classOf(int column) const;
    int keyAt(const PictureDots &dots, int row, int column) const
    {
        const uchar *d = dots.dots(row);
        if (m_dhgr) {
            const uchar *w = d + column - 4;
            return w[0] | (w[1] << 1) | (w[2] << 2) | (w[3] << 3) | (w[4] << 4) | (w[5] << 5) | (w[6] << 6) | (w[7] << 7);
        }
        const int x = column >> 1;
        const uchar *w = d + x - 2;
        const uchar *h = dots.high(row) + x;
        return w[0] | (w[1] << 1) | (w[2] << 2) | (w[3] << 3) | (w[4] << 4) | (h[-2] << 5) | (h[2] << 6);
    }
    void learn();
    int colourIndex(QRgb rgb);

    ViewOptions m_view;
    bool m_dhgr;
    size_t m_keys;
    std::vector<uchar> m_table;
    std::vector<LinearRgb> m_colours;
    std::vector<QRgb> m_rgb;
};
