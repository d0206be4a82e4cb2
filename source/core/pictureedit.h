#pragma once

#include <QPoint>

struct PictureState;

// Where DHGR dot x (0 to 559) of row y (0 to 191) is kept: with q = x div 7,
// s = x + q is 8q + (x mod 7), so s div 16 is the byte's column in the row
// and bit 3 of s (q odd) picks main memory over aux memory.
struct DotPlace {
    bool main;
    int offset;  // in its memory image
    int bit;
};
DotPlace dhgrDotPlace(int x, int y);

// Whether DHGR dot x of row y is lit; dots outside the picture are not.
bool dhgrDotLit(const PictureState &state, int x, int y);

// Clips the segment from a to b to the 560 x 192 picture (Cohen-Sutherland,
// single-precision slope, results truncated toward zero) and replaces its
// ends with the clipped ones. Returns whether anything of it is visible.
bool clipLine(QPoint &a, QPoint &b);

// Clips the segment and plots every point of it, both ends included
// (Bresenham): single dots in 560 mode, four-dot colour cells otherwise.
void drawPencilLine(PictureState &state, QPoint from, QPoint to, int colour);

// Writes one DHGR dot (x 0 to 559, row 0 to 191) as the colour's bit for the
// dot's phase: set or cleared. The high bit of the byte is left alone.
void plotDot(PictureState &state, int x, int y, int colour);

// Writes a four-dot colour cell for the dot at x. The cell starts at the cell
// of x, moved right for the colours whose dot pattern reads better started
// late (which colours depends on the engine family), and never past dot 556.
void plotColorCell(PictureState &state, int x, int y, int colour);

// Re-encodes an HGR picture as DHGR so that its monochrome view stays the
// same: HGR dot x with high bit h becomes DHGR dots 2x + h - 1 and 2x + h.
// A DHGR picture is left alone.
void convertToDhgr(PictureState &state);

// Moves the picture by one column of the 560-dot grid, the column entering
// at the edge unlit. HGR bytes come back with their high bits clear.
void shiftPicture(PictureState &state, bool left);
