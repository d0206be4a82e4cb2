#pragma once

#include <QRgb>
#include <QStringList>

struct PictureState;

// Slot names in menu order; the slot number is the value of paletteType.
const QStringList &paletteNames();
// "Black and White", "Black and Green", "Black and Amber": oneBitPalette 0 to 2.
const QStringList &monoTintNames();

// Copies the built-in colour tables into the state's 8 slots of 32 entries.
void initPalettes(PictureState &state);

// The 8-bit colour of entry colour (0 to 31) of slot (0 to 7).
QRgb paletteColor(const PictureState &state, int slot, int colour);

// The colour of lit dots in monochrome: green, amber, or for any other tint
// value the white (entry 15) of the given slot.
QRgb monoTint(const PictureState &state, int slot, int tint);
