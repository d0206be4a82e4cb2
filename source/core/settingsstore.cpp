#include "settingsstore.h"

#include "picturestate.h"

#include <QSettings>

namespace {

const QString kEngineGroup = QStringLiteral("engine");

// One row per option of the group "engine", in the order they are read and
// written. A flag row names a bool field, a number row a 16-bit field; limit,
// when not zero, is the count of values that mean something.
struct EngineKey {
    const char *key;
    bool ViewOptions::*flag;
    quint16 ViewOptions::*number;
    int defaultValue;
    int limit;
};

const EngineKey kEngineKeys[] = {
    {"jexEngine", &ViewOptions::jexEngine, nullptr, 1, 0},
    {"schemeType", nullptr, &ViewOptions::schemeType, 0, 3},
    {"bmFinalDepth", nullptr, &ViewOptions::bmFinalDepth, 8, 0},
    {"paletteType", nullptr, &ViewOptions::paletteType, 0, kPaletteSlots},
    {"oneBitPalette", nullptr, &ViewOptions::oneBitPalette, 0, 0},
    {"bitShifting", &ViewOptions::bitShifting, nullptr, 1, 0},
    {"is560Mode", &ViewOptions::is560Mode, nullptr, 0, 0},
    {"screenSize", nullptr, &ViewOptions::screenSize, 1, 3},
    {"aspectCorrect", nullptr, &ViewOptions::aspectCorrect, 0, 0},
    {"startScreen", &ViewOptions::startScreen, nullptr, 1, 0},
};

// A stored number as the field keeps it. Other values have a meaning in the
// renderer and the view (tints and aspect fall back to their usual look), so
// they are kept as the 16-bit field holds them; only a value that is no
// number at all, or that would index past a table, takes the default. The
// size is bounded too: the view would show an unknown size at normal scale
// but map clicks unscaled, so the pencil would land on the wrong row.
quint16 storedNumber(const QVariant &value, const EngineKey &row)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || (row.limit > 0 && (n < 0 || n >= row.limit)))
        return quint16(row.defaultValue);
    return quint16(n);
}

} // namespace

namespace SettingsStore {

bool readViewOptions(ViewOptions &options)
{
    QSettings store;
    if (!store.childGroups().contains(kEngineGroup, Qt::CaseSensitive))
        return false;
    store.beginGroup(kEngineGroup);
    for (const EngineKey &row : kEngineKeys) {
        const QString key = QLatin1String(row.key);
        if (row.flag)
            options.*row.flag = store.value(key, bool(row.defaultValue)).toBool();
        else
            options.*row.number = storedNumber(store.value(key, row.defaultValue), row);
    }
    // Once options have been stored, DHGR colour cells start one column in.
    options.dhgrColumnOffset = 1;
    store.endGroup();
    return true;
}

Directories readDirectories()
{
    QSettings store;
    return {store.value(kLastOpenDir).toString(), store.value(kLastSaveDir).toString(),
            store.value(kLastTextDir).toString()};
}

void writeViewSettings(const ViewOptions &options, const Directories &dirs)
{
    QSettings store;
    store.beginGroup(kEngineGroup);
    for (const EngineKey &row : kEngineKeys) {
        const QString key = QLatin1String(row.key);
        if (row.flag)
            store.setValue(key, options.*row.flag);
        else
            store.setValue(key, int(options.*row.number));
    }
    store.endGroup();
    store.setValue(kLastOpenDir, dirs.open);
    store.setValue(kLastSaveDir, dirs.save);
    store.setValue(kLastTextDir, dirs.text);
    store.sync();
}

QString readString(const QString &key) { return QSettings().value(key).toString(); }

void writeString(const QString &key, const QString &value)
{
    QSettings store;
    store.setValue(key, value);
    store.sync();
}

QStringList readStringList(const QString &key)
{
    const QStringList list = QSettings().value(key).toStringList();
    if (key == kRecentFiles)
        return list.mid(0, kRecentFilesLength);
    if (key == kRecentTextScreens)
        return list.mid(0, kRecentTextScreensLength);
    return list;
}

void writeStringList(const QString &key, const QStringList &value, bool sync)
{
    QSettings store;
    store.setValue(key, value);
    if (sync)
        store.sync();
}

QByteArray readBytes(const QString &key) { return QSettings().value(key).toByteArray(); }

bool contains(const QString &key) { return QSettings().contains(key); }

void writeBytes(const QString &key, const QByteArray &value)
{
    QSettings store;
    store.setValue(key, value);
}

} // namespace SettingsStore
