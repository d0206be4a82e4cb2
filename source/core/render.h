#pragma once

#include <QImage>

struct PictureState;

// One pass over the 192 scan lines. The first four draw picture memory into
// the current target (the monochrome modes into the bitmap, the colour modes
// into the frame); the last two encode the monochrome bitmap back into
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

// The table engines: draws each scan line's lit columns as the monochrome
// pass would and colours each frame column from a five-column window of
// them, into the current target.
void renderJex(PictureState &state);

// Writes colour (0 to 31 of the current slot) into dotWidth columns from
// column on, clipped to the frame.
void plotRun(PictureState &state, int column, int row, int colour);

void selectDotWidth(PictureState &state);

// Makes the target for state.targetDepth: a 562 x 192 RGBA image (image
// itself when nobody else holds it, else a new one), which the colour passes
// write every pixel of, or the all-black monochrome bitmap.
void prepareTarget(PictureState &state, QImage &image);

// The whole frame: picks the engine from the view options and renders the
// picture into image (562 x 192, Format_RGBA8888).
void renderPicture(PictureState &state, QImage &image);

// The frame column that shows DHGR dot 0: dot d, and the right half of an
// HGR dot, lie one column to the right in the monochrome passes and for the
// table engines; "By the Book" DHGR colour cells start at the column offset.
int firstDotColumn(const PictureState &state);

// Renders the picture as a monochrome bitmap (set = black) with the given
// HGR half-dot rules, leaving the view options as they were.
void renderMonoBitmap(PictureState &state, bool bitShifting, bool jexEngine, quint32 dotWidth);

// Encodes all rows of the monochrome bitmap back into picture memory as DHGR
// or HGR bytes (high bits 0).
void encodeMonoBitmap(PictureState &state, bool asDhgr);

