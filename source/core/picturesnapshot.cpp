#include "picturesnapshot.h"

PictureSnapshot PictureSnapshot::of(const PictureState &state)
{
    return {state.auxMemory, state.mainMemory, state.isDhgr};
}

void PictureSnapshot::applyTo(PictureState &state) const
{
    state.auxMemory = auxMemory;
    state.mainMemory = mainMemory;
    state.isDhgr = isDhgr;
}

bool PictureSnapshot::operator==(const PictureSnapshot &o) const
{
    return isDhgr == o.isDhgr && auxMemory == o.auxMemory && mainMemory == o.mainMemory;
}
