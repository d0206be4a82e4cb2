#pragma once

#include "picturestate.h"

#include <vector>

// A picture's scan lines as the dots the video circuits send out, one byte
// to each dot: 560 for DHGR (aux and main bytes taking turns, seven dots
// each), 280 for HGR, with the palette bit of each HGR dot's byte beside it.
// Each line has unlit dots on either side so that a window may reach past
// its ends; the palette bits there repeat those of the end bytes, as the
// circuits keep the last byte's bit after the line.
class PictureDots {
public:
    static constexpr int kPad = 8;

    explicit PictureDots(bool dhgr);

    bool isDhgr() const { return m_dhgr; }
    int dotCount() const { return m_dots; }

    // Dot 0 of a line; indices from -kPad to dotCount() + kPad - 1.
    uchar *dots(int row) { return &m_bits[size_t(row) * m_stride + kPad]; }
    const uchar *dots(int row) const { return &m_bits[size_t(row) * m_stride + kPad]; }
    const uchar *high(int row) const { return &m_high[size_t(row) * m_stride + kPad]; }

    // The palette bit of HGR byte 0 to 39 of a line.
    int highBit(int row, int byte) const { return high(row)[7 * byte]; }
    void setHighBit(int row, int byte, int value);

    void read(const PictureState &state);
    // Writes the picture memory (HGR: main alone) and isDhgr; DHGR bytes and
    // HGR bytes of monochrome pictures get their own bits only.
    void write(PictureState &state) const;

private:
    bool m_dhgr;
    int m_dots;
    size_t m_stride;
    std::vector<uchar> m_bits;
    std::vector<uchar> m_high;
};
