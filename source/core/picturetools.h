#pragma once

#include <QPoint>

#include <array>

struct PictureState;

// The drawing tools. Each draws as the pencil does: in colour it lays the
// four-dot cells of the DHGR colour grid, in 560 Mode single dots, and it
// draws on a DHGR picture only (the caller turns an HGR picture into DHGR
// at the first change). Positions are dots of the 560-dot grid and rows,
// and may lie off the picture: what falls outside is clipped.
enum class Tool { Pencil, Line, Rectangle, FilledRectangle, Fill, Eyedropper };

struct ToolInfo {
    Tool tool;
    const char *id;        // the action's name
    const char *name;      // as menus show it
    char key;              // its single-key shortcut
    const char *stepName;  // the history's name for one use; none for the eyedropper
};

// Every tool, in tool bar order. The keys stay clear of the view's single
// keys (K, C, L, B, comma, period and the brackets).
const std::array<ToolInfo, 6> &toolTable();
const ToolInfo &toolInfo(Tool tool);

// The outline and the filled rectangle with corners a and b, both included.
void drawRectangle(PictureState &state, QPoint a, QPoint b, int colour);
void fillRectangle(PictureState &state, QPoint a, QPoint b, int colour);

// What a shape tool draws from the press to the pointer: the line (the
// pencil's), the outline or the filled rectangle; none for the others.
using ShapeDrawing = void (*)(PictureState &state, QPoint from, QPoint to, int colour);
ShapeDrawing shapeDrawing(Tool tool);

// Fills the area around seed that looks the same as seed: in colour the
// colour cells (four dots from a multiple of four) of the same colour, in
// 560 Mode the dots lit or unlit alike, joined side by side or above and
// below. The area stops at the picture's edges; each cell or dot is looked
// at a bounded number of times, whatever the picture.
void floodFill(PictureState &state, QPoint seed, int colour);

// The colour index (0 to 15) the user sees at a dot, as the eyedropper
// picks it: in a monochrome view 15 for a lit dot and 0 for an unlit one;
// in colour the colour of the dot's cell, whose four dots are the colour's
// four bits. An HGR picture is read as the DHGR picture it shows, each of
// its dots two DHGR dots wide. -1 off the picture.
int colorSeenAt(const PictureState &state, QPoint dot);

// The HGR dot (0 to 279) that DHGR dot x of the row shows: HGR dot h with
// high bit d is DHGR dots 2h + d - 1 and 2h + d, an undelayed dot over a
// delayed one, and the last dot before a delayed byte holds on into the
// half-dot gap. -1 where no dot reaches (the
// last DHGR dot, after an undelayed last byte) and off the picture.
int hgrDotShowing(const PictureState &state, int x, int y);
