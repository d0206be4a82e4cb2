#pragma once

#include <QtGlobal>

#include <array>
#include <vector>

// The Apple II hi-res page is 8 KiB: 192 scan lines of 40 bytes scattered
// over 24 blocks of 128 bytes (the last 8 bytes of each block are unused).
constexpr int kPictureBytes = 8192;
constexpr int kScanLines = 192;
constexpr int kBytesPerLine = 40;
constexpr int kHgrDots = 280;
constexpr int kDhgrDots = 560;

// The render frame: 560 DHGR columns plus two spare columns on the right that
// catch the half-dot delay of the last HGR dots.
constexpr int kFrameWidth = 562;
constexpr int kFrameHeight = 192;
constexpr int kMonoRowBytes = (kFrameWidth + 7) / 8;  // 71
constexpr int kMonoBytes = kMonoRowBytes * kFrameHeight;  // 13632

constexpr int kPaletteSlots = 8;
constexpr int kPaletteEntries = 32;

using PictureMemory = std::array<uchar, kPictureBytes>;

struct PaletteEntry {
    quint16 index = 0;
    quint16 red = 0;
    quint16 green = 0;
    quint16 blue = 0;
};

// The view options, in menu order and named after their settings keys.
// Stored settings are checked as they are read (settingsstore.cpp); whatever
// values the fields still hold, the renderer clamps those that index its
// tables before it uses them (see viewoptions.cpp).
struct ViewOptions {
    quint16 bmFinalDepth = 8;      // 1 monochrome, above 1 colour
    quint16 paletteType = 2;       // colour slot, "Jex's TV"
    quint16 oneBitPalette = 0;     // monochrome tint: white, green, amber
    bool bitShifting = true;       // HGR half-dot delay in "By the Book"
    bool jexEngine = true;         // table engines instead of "By the Book"
    quint16 schemeType = 1;        // table engine variant, "Jex: Double"
    quint16 screenSize = 1;        // half, normal, double
    quint16 aspectCorrect = 0;     // 1.0, 0.9, 0.84
    bool is560Mode = false;        // pencil writes single 560-grid dots
    bool startScreen = false;      // boot sequence at launch
    qint16 dhgrColumnOffset = 0;   // column of the first DHGR colour cell

    bool operator==(const ViewOptions &o) const;
    bool operator!=(const ViewOptions &o) const { return !(*this == o); }
};

// Everything a picture is: its memory images, its view options, the palettes
// and the renderer's working buffers. Owned by the picture widget; the
// command-line renderer, the tests and the benchmark own one of their own.
struct PictureState : ViewOptions {
    PictureState();

    // Renderer working fields.
    quint32 rowBase = 0;
    quint32 currentRow = 0;
    quint32 dotWidth = 0;

    std::array<PaletteEntry, kPaletteSlots * kPaletteEntries> palettes{};

    uchar *targetPixels = nullptr;
    quint32 targetRowBytes = 0;
    quint32 targetDepth = 0;

    std::vector<uchar> monoBitmap;
    quint32 monoRowBytes = kMonoRowBytes;
    quint32 monoCapacity = kMonoBytes;

    // The picture itself.
    bool isDhgr = true;
    PictureMemory auxMemory{};
    PictureMemory mainMemory{};

    ViewOptions &viewOptions() { return *this; }
    const ViewOptions &viewOptions() const { return *this; }

    // Both memory images zero, DHGR: the empty picture of a new widget.
    void clearMemory();
};
