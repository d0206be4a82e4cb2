#include "recentlist.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

void clearMenuLater(QMenu *menu)
{
    // The entry being chosen may be the one rebuilding the menu: let its
    // signal finish before it goes.
    const QList<QAction *> old = menu->actions();
    for (QAction *action : old) {
        menu->removeAction(action);
        action->deleteLater();
    }
}

QStringList withRecentAdded(QStringList list, const QString &path, int limit)
{
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > limit)
        list.removeLast();
    return list;
}

QStringList withRecentRemoved(QStringList list, const QString &path)
{
    list.removeAll(path);
    return list;
}

void fillRecentPictureMenu(QMenu *menu, const QStringList &paths,
                           const std::function<void(const QString &)> &open,
                           const std::function<void(const QString &)> &remove)
{
    if (!menu)
        return;
    clearMenuLater(menu);
    for (const QString &path : paths) {
        QAction *action = menu->addAction(QFileInfo(path).fileName());
        QObject::connect(action, &QAction::triggered, menu, [path, open, remove] {
            if (QGuiApplication::keyboardModifiers().testFlag(Qt::AltModifier))
                remove(path);
            else
                open(path);
        });
    }
    menu->setEnabled(!paths.isEmpty());
}
