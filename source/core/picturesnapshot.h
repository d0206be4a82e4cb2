#pragma once

#include "picturestate.h"

// The picture alone, without its view: both memory images and whether they
// are read as DHGR or HGR. What a step of the history compares and puts back.
struct PictureSnapshot {
    PictureMemory auxMemory{};
    PictureMemory mainMemory{};
    bool isDhgr = true;

    static PictureSnapshot of(const PictureState &state);
    void applyTo(PictureState &state) const;

    bool operator==(const PictureSnapshot &o) const;
    bool operator!=(const PictureSnapshot &o) const { return !(*this == o); }
};
