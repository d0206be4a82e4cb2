#pragma once

#include "colourspace.h"
#include "columnmodel.h"
#include "linearimage.h"
#include "picturedots.h"

#include <vector>

// Improves a picture a few dots at a time against the image it should
// show, judging each change by what the engine draws (the column model)
// rather than by the palette's colours: every group of four DHGR dots (two
// HGR dots, and every HGR palette bit with its byte's dots, for colour
// pictures) is tried with each pattern, the columns the change reaches are
// looked up again, and the best is kept when the frame, blurred as an eye
// blurs it at a normal distance (1.5 dots across; down, 0.9 scan line,
// what a blur of 0.75 scan line over lines two rows tall comes to; in
// linear light), comes nearer to the image blurred the same way, with
// distances weighed as CIEDE2000 weighs them around the image's colour
// there. A sweep goes over every group that a change nearby may have made
// worth another try.
class DotRefiner {
public:
    DotRefiner(const ColumnModel &model, const LinearImage &screen, PictureDots &dots, bool paletteBits);

    // One sweep; returns the number of changes kept. A quick sweep tries
    // each dot alone, and no palette bits.
    int sweep(bool quick = false);

    // The blurred, weighed error of the picture as it now is.
    double cost() const;

private:
    static constexpr int kRadiusX = 4;
    static constexpr int kRadiusY = 2;

    static constexpr int kMost = 32;

    // How much the cost changes if columns first to last of row y show what
    // the dots now make them show; remembered until the next evaluate().
    float evaluate(int y, int first, int last);
    // Makes the last evaluate() the frame's.
    void commit();
    // Sets dots x to x + n - 1 of row y (n at most 4) to whichever pattern
    // costs least; returns the change of cost (0 when they stay).
    float repick(int y, int x, int n);
    // HGR: the other palette bit for byte k of row y, with its dots picked
    // again two at a time; kept if the whole comes out better.
    bool flipPaletteBit(int y, int k);
    void markAround(int y, int first, int last);
    bool dirtyColumns(int y, int first, int last) const;

    struct Pending {
        int y = 0, first = 0, last = 0, lo = 0, hi = 0;
        std::array<uchar, kMost> now{};
        std::array<std::array<float, 3>, kMost + 2 * kRadiusX> blurred{};
    } m_pending;

    const ColumnModel &m_model;
    PictureDots &m_dots;
    bool m_paletteBits;
    std::array<float, 2 * kRadiusX + 1> m_gx{};
    std::array<float, 2 * kRadiusY + 1> m_gy{};
    std::vector<LabMetric> m_metric;      // 560 x 192
    std::vector<LinearRgb> m_error;       // blurred frame minus blurred image, 560 x 192
    std::vector<LinearRgb> m_pull;        // the blur of W times m_error, 560 x 192
    float m_gySquares = 0;
    std::vector<uchar> m_shown;           // colour of each frame column, 562 x 192
    std::vector<uchar> m_dirty;           // per column: worth another try, 562 x 192
    std::vector<uchar> m_nextDirty;
};
