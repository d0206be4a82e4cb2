#include "recentlist.h"

#include "picturelocation.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

namespace {

// Delete (or Backspace) on the highlighted entry of an open menu takes that
// entry off the list; the menu stays open on what is left.
class RemoveKeyFilter : public QObject {
public:
    using QObject::QObject;
    std::function<void(const QString &)> remove;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Delete && key != Qt::Key_Backspace)
            return false;
        const QAction *entry = static_cast<QMenu *>(watched)->activeAction();
        if (!entry || !entry->data().isValid())
            return false;
        remove(entry->data().toString());
        return true;
    }
};

void watchRemoveKeys(QMenu *menu, const std::function<void(const QString &)> &remove)
{
    const QString name = QStringLiteral("recentRemoveKeys");
    auto *filter = dynamic_cast<RemoveKeyFilter *>(menu->findChild<QObject *>(name, Qt::FindDirectChildrenOnly));
    if (!filter) {
        filter = new RemoveKeyFilter(menu);
        filter->setObjectName(name);
        menu->installEventFilter(filter);
    }
    filter->remove = remove;
}

} // namespace

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
    watchRemoveKeys(menu, remove);
    for (const QString &path : paths) {
        QAction *action = menu->addAction(PictureLocation::fromString(path).title());
        action->setData(path);
        QObject::connect(action, &QAction::triggered, menu, [path, open, remove] {
            if (QGuiApplication::keyboardModifiers().testFlag(Qt::AltModifier))
                remove(path);
            else
                open(path);
        });
    }
    menu->setEnabled(!paths.isEmpty());
}
