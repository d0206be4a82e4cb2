#include "picturestate.h"

#include "palettes.h"
#include "rowbase.h"

bool ViewOptions::operator==(const ViewOptions &o) const
{
    return bmFinalDepth == o.bmFinalDepth && paletteType == o.paletteType
        && oneBitPalette == o.oneBitPalette && bitShifting == o.bitShifting
        && jexEngine == o.jexEngine && schemeType == o.schemeType
        && screenSize == o.screenSize && aspectCorrect == o.aspectCorrect
        && is560Mode == o.is560Mode && startScreen == o.startScreen
        && dhgrColumnOffset == o.dhgrColumnOffset;
}

PictureState::PictureState()
    : monoBitmap(kMonoBytes, 0)
{
    buildRowBaseTable();
    initPalettes(*this);
}

void PictureState::clearMemory()
{
    auxMemory.fill(0);
    mainMemory.fill(0);
    isDhgr = true;
}
