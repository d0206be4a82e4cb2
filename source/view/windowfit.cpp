#include "windowfit.h"

#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>

void fitWindowToContent(QMainWindow *window, QScrollArea *area)
{
    const QWidget *content = area->widget();
    if (!content || !window->layout())
        return;
    // The main window's layout adds up docks, menu and status bar; asking it
    // for its minimum while the scroll area insists on the content's size
    // gives the size that shows everything.
    const int frame = 2 * area->frameWidth();
    const QSize wasMinimum = area->minimumSize();
    area->setMinimumSize(content->size() + QSize(frame, frame));
    window->layout()->invalidate();
    QSize wanted = window->layout()->minimumSize();
    area->setMinimumSize(wasMinimum);
    window->layout()->invalidate();
    if (const QScreen *screen = window->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size());
    window->resize(wanted);
}
