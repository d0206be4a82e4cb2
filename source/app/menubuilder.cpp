#include "menubuilder.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>

namespace {

const QStringList kTags = {
    QStringLiteral("undo"), QStringLiteral("redo"), QStringLiteral("dotGrid"), QStringLiteral("cut"), QStringLiteral("copy"), QStringLiteral("paste"),
    QStringLiteral("clear"), QStringLiteral("selectAll"), QStringLiteral("saveAs"),
};

QString text(const QJsonObject &item, const char *key) { return item.value(QLatin1String(key)).toString(); }

QKeySequence shortcutFor(const QString &shortcut)
{
    QKeySequence sequence = shortcut == QLatin1String("quit")
                                ? QKeySequence(QKeySequence::Quit)
                                : QKeySequence::fromString(shortcut, QKeySequence::NativeText);
    // Platforms without a standard Quit key take the word itself.
    if (sequence.isEmpty())
        sequence = QKeySequence::fromString(shortcut, QKeySequence::NativeText);
    return sequence;
}

} // namespace

QByteArray menuDefinition()
{
    QFile file(QStringLiteral(":/morvo/menudefinition.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

MenuBuilder::MenuBuilder(QMenuBar *menuBar, QObject *context, MenuBindings bindings)
    : m_menuBar(menuBar)
    , m_context(context)
    , m_bindings(std::move(bindings))
{
}

BuiltMenus MenuBuilder::build(const QByteArray &definition)
{
    m_built = BuiltMenus();
    const QJsonArray menus = QJsonDocument::fromJson(definition).array();
    for (const QJsonValue &menuValue : menus) {
        const QJsonObject menuObject = menuValue.toObject();
        QMenu *menu = m_menuBar->addMenu(text(menuObject, "title"));
        if (menuObject.contains(QLatin1String("id")))
            m_built.menusById.insert(text(menuObject, "id"), menu);
        for (const QJsonValue &itemValue : menuObject.value(QLatin1String("items")).toArray()) {
            const QJsonObject item = itemValue.toObject();
            const QString type = text(item, "type");
            if (type == QLatin1String("sep")) {
                menu->addSeparator();
            } else if (type == QLatin1String("submenu")) {
                QMenu *submenu = menu->addMenu(text(item, "text"));
                const QString id = text(item, "id");
                if (id == QLatin1String("recentGraphicMenu"))
                    m_built.recentGraphicMenu = submenu;
                else if (id == QLatin1String("recentTextMenu"))
                    m_built.recentTextMenu = submenu;
            } else if (type == QLatin1String("radioGroup")) {
                addRadioGroup(menu, item);
            } else {
                addMenuAction(menu, item);
            }
        }
    }
    return m_built;
}

void MenuBuilder::addMenuAction(QMenu *menu, const QJsonObject &item)
{
    QAction *action = menu->addAction(text(item, "text"));
    const QString shortcut = text(item, "shortcut");
    if (!shortcut.isEmpty())
        action->setShortcut(shortcutFor(shortcut));
    if (m_bindings.applicationWide.contains(text(item, "slot")))
        action->setShortcutContext(Qt::ApplicationShortcut);
    if (item.value(QLatin1String("checkable")).toBool())
        action->setCheckable(true);
    fileById(action, item.value(QLatin1String("actId")).toInt(-1));
    const QString tag = text(item, "actTag");
    if (kTags.contains(tag))
        m_built.taggedActions.insert(tag, action);
    const QString role = text(item, "role");
    if (role == QLatin1String("about"))
        action->setMenuRole(QAction::AboutRole);
    else if (role == QLatin1String("aboutQt"))
        action->setMenuRole(QAction::AboutQtRole);
    connectSlot(action, text(item, "slot"));
}

void MenuBuilder::addRadioGroup(QMenu *menu, const QJsonObject &item)
{
    auto *group = new QActionGroup(m_context);
    for (const QJsonValue &memberValue : item.value(QLatin1String("items")).toArray()) {
        const QJsonObject member = memberValue.toObject();
        if (text(member, "type") == QLatin1String("sep")) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(text(member, "text"));
        action->setCheckable(true);
        const int actId = member.value(QLatin1String("actId")).toInt(-1);
        if (actId >= 0 && actId < kActionCount)
            action->setData(actId);
        fileById(action, actId);
        if (member.contains(QLatin1String("shortcutKey")))
            action->setShortcut(QKeyCombination(Qt::ControlModifier,
                                                Qt::Key(Qt::Key_0 + member.value(QLatin1String("shortcutKey")).toInt())));
        group->addAction(action);
    }
    connectRadioGroup(group, text(item, "id"));
}

void MenuBuilder::connectRadioGroup(QActionGroup *group, const QString &id)
{
    const auto handler = m_bindings.radioGroups.constFind(id);
    if (handler == m_bindings.radioGroups.constEnd())
        return;
    QObject::connect(group, &QActionGroup::triggered, m_context, *handler);
}

void MenuBuilder::connectSlot(QAction *action, const QString &slotName)
{
    const auto operation = m_bindings.operations.constFind(slotName);
    if (operation == m_bindings.operations.constEnd())
        return;
    QObject::connect(action, &QAction::triggered, m_context, *operation);
}

void MenuBuilder::fileById(QAction *action, int actId)
{
    if (actId >= 0 && actId < kActionCount)
        m_built.actionsById[size_t(actId)] = action;
}
