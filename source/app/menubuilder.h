#pragma once

#include "viewchoice.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <array>
#include <functional>

class QAction;
class QActionGroup;
class QJsonObject;
class QMenu;
class QMenuBar;
class QObject;

// The menu bar as data: a JSON array of menus whose items name the
// operation they run ("slot"), the number other code finds them by
// ("actId") and, for the Edit actions and Save As, a tag ("actTag").
QByteArray menuDefinition();

// Operations by name: plain actions by their "slot", radio groups by their
// "id" (the handler gets the chosen action, whose data is its number).
struct MenuBindings {
    QHash<QString, std::function<void()>> operations;
    QHash<QString, std::function<void(QAction *)>> radioGroups;
    // Slots whose keys work in every window of the program, not only in the
    // one that holds the menu bar.
    QSet<QString> applicationWide;
};

struct BuiltMenus {
    std::array<QAction *, kActionCount> actionsById{};
    QHash<QString, QAction *> taggedActions;  // "undo", "redo", "cut", ... "saveAs", "dotGrid"
    QHash<QString, QMenu *> menusById;          // menus the code fills, by their "id"
    QMenu *recentGraphicMenu = nullptr;
    QMenu *recentTextMenu = nullptr;
};

// Builds the menus of a definition into a menu bar. A definition that does
// not parse builds nothing: every pointer of the result is then null.
class MenuBuilder {
public:
    MenuBuilder(QMenuBar *menuBar, QObject *context, MenuBindings bindings);

    BuiltMenus build(const QByteArray &definition);

private:
    void addMenuAction(QMenu *menu, const QJsonObject &item);
    void addRadioGroup(QMenu *menu, const QJsonObject &item);
    void connectRadioGroup(QActionGroup *group, const QString &id);
    void connectSlot(QAction *action, const QString &slotName);
    void fileById(QAction *action, int actId);

    QMenuBar *m_menuBar;
    QObject *m_context;
    MenuBindings m_bindings;
    BuiltMenus m_built;
};
