#pragma once

#include <QString>

struct PictureState;

// Draws an Apple II text screen into the picture memory the way the machine
// shows it: 24 rows of 7 x 8 cells, 40 columns as an HGR picture or, when
// the text begins with "80", 80 columns as a DHGR picture. A "40" before a
// leading "8" is the 40-column mark and is not drawn. Characters
// U+F000 to U+F05E are the inverse forms of U+0020 to U+007E. The glyphs
// come from the given font family at 8 pixels; with no family, from the
// default font. Replaces the whole picture; the view options stay as they
// are.
void renderTextScreen(PictureState &state, const QString &text, const QString &fontFamily);
