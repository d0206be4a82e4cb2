#pragma once

#include "picturestate.h"

#include <array>

// The menu's action numbers: engines 0-3, bit shifting 4, 560 mode 5, sizes
// 6-8, aspects 9-11, colour palettes 12-19, tints 20-22, convert 23 and the
// startup screen 24.
constexpr int kActionCount = 25;
constexpr int kActBitShifting = 4;
constexpr int kAct560Mode = 5;
constexpr int kActFirstSize = 6;
constexpr int kActFirstAspect = 9;
constexpr int kActFirstPalette = 12;
constexpr int kActFirstTint = 20;
constexpr int kActConvert = 23;
constexpr int kActStartScreen = 24;

// The view options together with the two palettes that the colour key
// returns to: a colour slot when leaving monochrome, a tint when leaving
// colour. Every rule of the Engine and Palette menus and of the single keys
// is a function of this; the window only applies the result.
struct ViewChoice {
    ViewOptions options;
    quint16 lastColorPalette = 0;
    quint16 lastMonoPalette = 0;

    // Radio choices by action number.
    void chooseEngine(int act);
    void chooseSize(int act);
    void chooseAspect(int act);
    void choosePalette(int act);
    // 0-7 a colour palette, 8-10 a tint.
    void setPaletteIndex(int index);

    void toggleColorMode();
    void toggleJexEngine();
    // Each returns whether anything changed; a step at either end of the
    // palettes and bit shifting under a table engine do nothing.
    bool toggleBitShifting();
    bool stepPalette(int delta);
    void stepScreenSize(int delta);
};

// What the menus show for a set of options.
struct MenuStates {
    std::array<bool, kActionCount> checked{};
    bool bitShiftingEnabled = false;
};
MenuStates menuStates(const ViewOptions &options);
