#pragma once

#include <QIcon>

// The window icon from the program's artwork: cropped to a centred square,
// zoomed by 1.38 to trim its outer margin, at every usual size and at
// device pixel ratios 1, 2 and 3. Empty when the artwork is missing.
QIcon buildAppIcon();

// The same from a given image file (the test's way in).
QIcon buildAppIconFrom(const QString &path);

// The program's name, organisation and version for settings and dialogs,
// the Apple II font registered, and the window icon set for every window.
// Returns the icon (empty when the artwork is missing).
QIcon prepareApplication();
