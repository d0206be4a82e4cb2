#pragma once

#include "settingsstore.h"

#include <QString>
#include <QStringList>

#include <functional>

class QMenu;

// The recent-file lists: newest first, paths compared exactly, never two
// equal entries, and never longer than these (the store cuts a longer list
// when it is read).
constexpr int kRecentPictures = SettingsStore::kRecentFilesLength;
constexpr int kRecentTextScreens = SettingsStore::kRecentTextScreensLength;

QStringList withRecentAdded(QStringList list, const QString &path, int limit);
QStringList withRecentRemoved(QStringList list, const QString &path);

// Empties a menu; its entries are deleted once the event loop is back.
void clearMenuLater(QMenu *menu);

// Fills a Recent Graphic menu: one entry per picture location (a path, or
// an image's path and a picture's inside it), shown by its title; a
// choice opens the path, or removes it when Alt is held at that moment, and
// Delete or Backspace removes the highlighted entry while the menu is open.
// Disabled while the list is empty.
void fillRecentPictureMenu(QMenu *menu, const QStringList &paths,
                           const std::function<void(const QString &)> &open,
                           const std::function<void(const QString &)> &remove);
