#include "viewoptions.h"

#include "picturestate.h"

bool clampViewOptions(ViewOptions &o)
{
    const ViewOptions before = o;
    const ViewOptions defaults;
    if (o.paletteType >= kPaletteSlots)
        o.paletteType = defaults.paletteType;
    if (o.schemeType > 2)
        o.schemeType = defaults.schemeType;
    if (o.dhgrColumnOffset < 0 || o.dhgrColumnOffset > 1)
        o.dhgrColumnOffset = o.dhgrColumnOffset < 0 ? 0 : 1;
    return o != before;
}
