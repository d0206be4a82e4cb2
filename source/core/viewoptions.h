#pragma once

struct ViewOptions;

// Brings the options that index tables (palette slot, engine variant, DHGR
// cell offset) back into range; the others have a meaning for every value.
// Returns whether anything had to change.
bool clampViewOptions(ViewOptions &options);
