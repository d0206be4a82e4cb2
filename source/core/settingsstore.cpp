#include "settingsstore.h"

#include "picturestate.h"
#include "zoomsteps.h"

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
    {"oneBitPalette", nullptr, &ViewOptions::oneBitPalette, 0, 3},
    {"bitShifting", &ViewOptions::bitShifting, nullptr, 1, 0},
    {"is560Mode", &ViewOptions::is560Mode, nullptr, 0, 0},
    {"screenSize", nullptr, &ViewOptions::screenSize, 1, 3},
    {"aspectCorrect", nullptr, &ViewOptions::aspectCorrect, 0, 3},
    {"startScreen", &ViewOptions::startScreen, nullptr, 1, 0},
};

// A stored number as the field keeps it. A depth other than the menus' 1
// and 8 still has a meaning in the renderer, so it is kept as the 16-bit
// field holds it; a value that is no number at all, or that no menu item
// shows (engine variant, palette slot, tint, size, aspect), takes the
// default, so the menus always show what the picture is drawn with. The
// size matters most: the view would show an unknown size at normal scale
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

double readZoom()
{
    bool ok = false;
    const double zoom = QSettings().value(kZoom, ZoomSteps::kActualSize).toDouble(&ok);
    if (!ok || !(zoom >= ZoomSteps::kActualSize && zoom <= ZoomSteps::kMostZoom))
        return ZoomSteps::kActualSize;
    return zoom;
}

void writeZoom(double zoom)
{
    QSettings store;
    store.setValue(kZoom, zoom);
    store.sync();
}

bool readDotGrid() { return QSettings().value(kDotGrid, false).toBool(); }

void writeDotGrid(bool shown)
{
    QSettings store;
    store.setValue(kDotGrid, shown);
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
