#include "pointerreadout.h"

#include "pictureedit.h"
#include "picturestate.h"
#include "picturetools.h"
#include "rowbase.h"

namespace {

constexpr int kPageStart = 0x2000;

QString hex(int value, int digits)
{
    return QStringLiteral("$%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString PointerReadout::text() const
{
    if (!onPicture())
        return QString();
    return QStringLiteral("x %1  y %2  %3 %4 = %5  colour %6")
        .arg(column)
        .arg(row)
        .arg(hex(address, 4), aux ? QStringLiteral("aux") : QStringLiteral("main"), hex(value, 2))
        .arg(color);
}

PointerReadout PointerReadout::at(const PictureState &state, QPoint dot)
{
    PointerReadout readout;
    const int x = dot.x();
    const int y = dot.y();
    if (x < 0 || x >= kDhgrDots || y < 0 || y >= kScanLines)
        return readout;
    readout.row = y;
    readout.color = colorSeenAt(state, dot);
    int offset = 0;
    if (state.isDhgr) {
        const DotPlace place = dhgrDotPlace(x, y);
        readout.column = x;
        readout.aux = !place.main;
        offset = place.offset;
    } else {
        // Past an undelayed last dot, that dot.
        const int shown = hgrDotShowing(state, x, y);
        readout.column = shown >= 0 ? shown : x / 2;
        offset = rowBaseTable[size_t(y)] + readout.column / 7;
    }
    readout.address = quint16(kPageStart + offset);
    readout.value = (readout.aux ? state.auxMemory : state.mainMemory)[size_t(offset)];
    return readout;
}
