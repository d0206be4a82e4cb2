// Picture memory of any content through one engine, with any view options:
// built once per engine family (MORVO_FUZZ_ENGINE: 0 the table engines in
// colour, 1 "By the Book" in colour, 2 the monochrome views), so that each
// run is one engine's work alone.
//
// Input: 7 bytes of options, then the memory (see fuzz::fillMemory).
//   0 palette slot, 1 tint, 2 depth, 3 engine variant, 4-5 DHGR cell offset
//   6 bit 0 DHGR, bit 1 bit shifting, bit 2 560 mode, bit 3 (monochrome)
//     table engines
//
// The frame is drawn twice, over a black and over a white image of the
// right size: every engine writes every pixel, so the two must match, and
// the second run, on the state the first left, draws the same picture.
#include "fuzzsupport.h"
#include "render.h"

#include <QImage>

namespace {

QImage &frame(int which)
{
    static QImage frames[2] = {QImage(kFrameWidth, kFrameHeight, QImage::Format_RGBA8888),
                               QImage(kFrameWidth, kFrameHeight, QImage::Format_RGBA8888)};
    return frames[which];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    fuzz::Input in{data, size};
    static PictureState state;
    state.paletteType = in.byte();
    state.oneBitPalette = in.byte();
    const quint8 depth = in.byte();
    state.schemeType = in.byte();
    state.dhgrColumnOffset = qint16(in.byte() | (in.byte() << 8));
    const quint8 flags = in.byte();
    state.isDhgr = flags & 1;
    state.bitShifting = flags & 2;
    state.is560Mode = flags & 4;
    switch (MORVO_FUZZ_ENGINE) {
    case 0:
        state.jexEngine = true;
        state.bmFinalDepth = quint16(2 + depth);
        break;
    case 1:
        state.jexEngine = false;
        state.bmFinalDepth = quint16(2 + depth);
        break;
    default:
        state.jexEngine = flags & 8;
        state.bmFinalDepth = depth & 1;
        break;
    }
    fuzz::fillMemory(state, in.rest());

    for (int which = 0; which < 2; ++which) {
        QImage &image = frame(which);
        image.fill(which ? 0xFFFFFFFFu : 0u);
        renderPicture(state, image);
        fuzz::require(image.size() == QSize(kFrameWidth, kFrameHeight) && image.format() == QImage::Format_RGBA8888,
                      "the frame is not 562 x 192 RGBA");
    }
    fuzz::require(frame(0) == frame(1), "a pixel of the frame was left as it was, or a second run drew another");
    return 0;
}
