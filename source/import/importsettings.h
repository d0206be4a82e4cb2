#pragma once

#include <QString>
#include <QStringList>

// What an imported image becomes: colour or monochrome, on the double
// (560 free dots) or the single hi-res screen (280 dots, one palette bit to
// each byte of seven).
enum class ImportTarget { DhgrColour, HgrColour, DhgrMono, HgrMono };

// How the image meets the screen's 4:3 shape: the largest 4:3 part of it
// (movable along the axis that is too long), all of it inside black
// borders, or all of it pulled to the screen's shape.
enum class ImportFit { Crop, Fit, Stretch };

// How the picture's bytes are chosen: each cell or pair of dots on its own,
// spreading the error of the palette's colours (Floyd-Steinberg, Atkinson),
// or comparing what the engine draws with the image around every dot.
enum class ImportDither { None, FloydSteinberg, Atkinson, LookAhead };

struct ImportSettings {
    ImportTarget target = ImportTarget::DhgrColour;
    ImportFit fit = ImportFit::Crop;
    ImportDither dither = ImportDither::LookAhead;
    // Where the crop sits along the axis that is too long: -1 at the left
    // or top edge, 0 centred, 1 at the right or bottom edge.
    double cropX = 0;
    double cropY = 0;
    int brightness = 0;   // -100 to 100
    int contrast = 0;     // -100 to 100
    int saturation = 0;   // -100 (grey) to 100
    double gamma = 1.0;   // 0.2 to 5; above 1 lifts the middle tones

    bool isDhgr() const { return target == ImportTarget::DhgrColour || target == ImportTarget::DhgrMono; }
    bool isMono() const { return target == ImportTarget::DhgrMono || target == ImportTarget::HgrMono; }

    // Brings every number into its range.
    void clamp();

    bool operator==(const ImportSettings &o) const;
    bool operator!=(const ImportSettings &o) const { return !(*this == o); }
};

// The names the command line takes, in the order of the enumerations.
const QStringList &importTargetNames();  // dhgr, hgr, dhgr-mono, hgr-mono
const QStringList &importFitNames();     // crop, fit, stretch
const QStringList &importDitherNames();  // none, fs, atkinson, lookahead
