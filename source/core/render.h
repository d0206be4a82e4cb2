#pragma once

#include <QImage>

struct PictureState;

// One pass over the 192 scan lines. The first four draw picture memory into
// the current target; the last two encode the monochrome bitmap back into
// picture memory.
enum RenderMode : int {
    HgrMono = 0,
    HgrColor = 1,
    DhgrMono = 2,
    DhgrColor = 3,
    BitmapToDhgr = 4,
    BitmapToHgr = 5,
};

// Runs one mode over every scan line; a mode above BitmapToHgr does nothing.
void renderRows(PictureState &state, int mode);

// The table engines: colours each frame column from a five-column window of
// the (inverted, set = lit) monochrome bitmap.
void renderJex(PictureState &state);

// Writes colour (0 to 31 of the current slot) into dotWidth columns from
// column on, clipped to the frame.
void plotRun(PictureState &state, int column, int row, int colour);

void selectDotWidth(PictureState &state);

// Makes a fresh target for state.targetDepth: a black 562 x 192 RGBA image
// (which becomes image) or the all-black monochrome bitmap. A pass that
// writes every pixel may skip the clearing of the image.
void prepareTarget(PictureState &state, QImage &image, bool clear = true);

// Replaces image with the monochrome bitmap tinted by oneBitPalette.
void buildMonoImage(PictureState &state, QImage &image, int width, int height);

// The whole frame: picks the engine from the view options and renders the
// picture into image (562 x 192, Format_RGBA8888).
void renderPicture(PictureState &state, QImage &image);

// Renders the picture as a monochrome bitmap (set = black) with the given
// HGR half-dot rules, leaving the view options as they were.
void renderMonoBitmap(PictureState &state, bool bitShifting, bool jexEngine, quint32 dotWidth);

// Encodes all rows of the monochrome bitmap back into picture memory as DHGR
// or HGR bytes (high bits 0).
void encodeMonoBitmap(PictureState &state, bool asDhgr);

