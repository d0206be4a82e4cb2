#include "viewchoice.h"

#include <algorithm>

void ViewChoice::chooseEngine(int act)
{
    // A table engine always draws in colour; "By the Book" keeps whatever
    // depth and variant were there.
    if (act < 3) {
        options.schemeType = quint16(act);
        options.bmFinalDepth = 8;
    }
    options.jexEngine = act < 3;
}

void ViewChoice::chooseSize(int act) { options.screenSize = quint16(act - kActFirstSize); }

void ViewChoice::chooseAspect(int act) { options.aspectCorrect = quint16(act - kActFirstAspect); }

void ViewChoice::choosePalette(int act) { setPaletteIndex(act - kActFirstPalette); }

void ViewChoice::setPaletteIndex(int index)
{
    if (index >= kPaletteSlots) {
        options.bmFinalDepth = 1;
        options.oneBitPalette = quint16(index - kPaletteSlots);
        lastMonoPalette = options.oneBitPalette;
    } else {
        options.bmFinalDepth = 8;
        options.paletteType = quint16(index);
        lastColorPalette = options.paletteType;
    }
}

void ViewChoice::toggleColorMode()
{
    if (options.bmFinalDepth != 8) {
        lastMonoPalette = options.oneBitPalette;
        setPaletteIndex(lastColorPalette);
    } else {
        lastColorPalette = options.paletteType;
        options.bmFinalDepth = 1;
        options.oneBitPalette = lastMonoPalette;
    }
}

void ViewChoice::toggleJexEngine()
{
    if (!options.jexEngine) {
        options.schemeType = 1;
        options.bmFinalDepth = 8;
        options.jexEngine = true;
    } else {
        options.jexEngine = false;
    }
}

bool ViewChoice::toggleBitShifting()
{
    if (options.jexEngine)
        return false;
    options.bitShifting = !options.bitShifting;
    return true;
}

bool ViewChoice::stepPalette(int delta)
{
    // Only the colour slot moves: in monochrome the picture keeps its tint
    // while the swatches show the new slot.
    const int next = options.paletteType + delta;
    if (next < 0 || next >= kPaletteSlots)
        return false;
    options.paletteType = quint16(next);
    return true;
}

void ViewChoice::stepScreenSize(int delta)
{
    options.screenSize = quint16(std::clamp(options.screenSize + delta, 0, 2));
}

MenuStates menuStates(const ViewOptions &o)
{
    MenuStates s;
    const int engine = o.jexEngine ? o.schemeType : 3;
    for (int act = 0; act < 4; ++act)
        s.checked[act] = act == engine;
    s.bitShiftingEnabled = !o.jexEngine;
    s.checked[kActBitShifting] = o.jexEngine || o.bitShifting;
    s.checked[kAct560Mode] = o.is560Mode;
    for (int i = 0; i < 3; ++i) {
        s.checked[kActFirstSize + i] = i == o.screenSize;
        s.checked[kActFirstAspect + i] = i == o.aspectCorrect;
    }
    const int palette = o.bmFinalDepth == 1 ? kPaletteSlots + o.oneBitPalette : o.paletteType;
    for (int act = kActFirstPalette; act < kActConvert; ++act)
        s.checked[act] = act - kActFirstPalette == palette;
    s.checked[kActStartScreen] = o.startScreen;
    return s;
}
