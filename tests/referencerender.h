#pragma once

#include <QImage>

struct PictureState;

namespace reference {

// The whole frame by the literal rules: every dot plotted as a run of
// columns, in order, onto a fresh black target.
void renderPictureRef(PictureState &state, QImage &image);
void renderMonoBitmapRef(PictureState &state, bool bitShifting, bool jexEngine, quint32 dotWidth);
void encodeMonoBitmapRef(PictureState &state, bool asDhgr);

} // namespace reference
