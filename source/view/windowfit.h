#pragma once

class QMainWindow;
class QScrollArea;

// Sizes a window, at a start with no stored geometry, so that its scroll
// area shows the whole of its content beside the docks and bars, within
// the screen's free area.
void fitWindowToContent(QMainWindow *window, QScrollArea *area);
