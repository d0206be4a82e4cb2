#include "picturedots.h"

#include "rowbase.h"

#include <algorithm>

PictureDots::PictureDots(bool dhgr)
    : m_dhgr(dhgr)
    , m_dots(dhgr ? kDhgrDots : kHgrDots)
    , m_stride(size_t(m_dots + 2 * kPad))
    , m_bits(m_stride * kScanLines, 0)
    , m_high(m_stride * kScanLines, 0)
{
}

void PictureDots::setHighBit(int row, int byte, int value)
{
    uchar *h = &m_high[size_t(row) * m_stride + kPad];
    const int first = byte == 0 ? -kPad : 7 * byte;
    const int end = byte == kBytesPerLine - 1 ? m_dots + kPad : 7 * byte + 7;
    std::fill(h + first, h + end, uchar(value));
}

void PictureDots::read(const PictureState &state)
{
    for (int row = 0; row < kScanLines; ++row) {
        const size_t base = rowBaseTable[size_t(row)];
        uchar *d = dots(row);
        for (int k = 0; k < kBytesPerLine; ++k) {
            const uchar main = state.mainMemory[base + size_t(k)];
            if (m_dhgr) {
                const uchar aux = state.auxMemory[base + size_t(k)];
                for (int j = 0; j < 7; ++j) {
                    d[14 * k + j] = (aux >> j) & 1;
                    d[14 * k + 7 + j] = (main >> j) & 1;
                }
            } else {
                for (int j = 0; j < 7; ++j)
                    d[7 * k + j] = (main >> j) & 1;
                setHighBit(row, k, main >> 7);
            }
        }
    }
}

void PictureDots::write(PictureState &state) const
{
    state.isDhgr = m_dhgr;
    if (!m_dhgr)
        state.auxMemory.fill(0);
    for (int row = 0; row < kScanLines; ++row) {
        const size_t base = rowBaseTable[size_t(row)];
        const uchar *d = dots(row);
        for (int k = 0; k < kBytesPerLine; ++k) {
            uchar main = 0;
            uchar aux = 0;
            for (int j = 0; j < 7; ++j) {
                if (m_dhgr) {
                    aux |= uchar(d[14 * k + j] << j);
                    main |= uchar(d[14 * k + 7 + j] << j);
                } else {
                    main |= uchar(d[7 * k + j] << j);
                }
            }
            if (!m_dhgr)
                main |= uchar(highBit(row, k) << 7);
            state.mainMemory[base + size_t(k)] = main;
            if (m_dhgr)
                state.auxMemory[base + size_t(k)] = aux;
        }
    }
}
