#pragma once

#include <QtGlobal>

#include <array>

// Offset of each of the 192 scan lines in a hi-res memory image:
// base(y) = 1024 * (y mod 8) + 128 * ((y div 8) mod 8) + 40 * (y div 64).
extern std::array<quint16, 192> rowBaseTable;

// Fills rowBaseTable the way the Apple II interleaves its hi-res lines:
// thirds of the screen, then groups of eight, then lines within a group.
void buildRowBaseTable();
