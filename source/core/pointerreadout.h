#pragma once

#include <QPoint>
#include <QString>
#include <QtGlobal>

struct PictureState;

// What the status bar tells of the dot under the pointer: its column (0 to
// 559 in DHGR, 0 to 279 in HGR) and row, the hi-res page address of the
// byte that holds it ($2000 to $3FFF, in aux or main memory) with the byte's
// value, and the colour index the user sees there.
struct PointerReadout {
    int column = -1;
    int row = -1;
    quint16 address = 0;
    bool aux = false;
    uchar value = 0;
    int color = 0;

    bool onPicture() const { return row >= 0; }

    // "x 123  y 45  $2A5F aux = $7F  colour 9"; empty off the picture.
    QString text() const;

    // The readout for a dot of the 560-dot grid (off the picture when it
    // lies outside 0 to 559 and 0 to 191).
    static PointerReadout at(const PictureState &state, QPoint dot);
};
