// Any bytes as the settings file, morvo.conf, read through the settings
// layer the way the program starts: every value that comes out is one the
// program can use as it is. The view options index no table past its end
// and show in the menus, the zoom is a step the view takes, the recent
// lists are no longer than their menus. (A list value may claim billions of
// items: Qt asks for room for them all first and goes on with an empty list
// when the system refuses, so tools/fuzz runs this harness with refused
// allocations returning nothing, as the system's do.)
#include "fuzzsupport.h"
#include "settingsstore.h"
#include "viewoptions.h"
#include "zoomsteps.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>

#include <cmath>

namespace {

QString settingsPath;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The settings of this run alone, in the scratch folder.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch().path()));
    fuzz::startGuiApplication(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("kestrand"));
    QCoreApplication::setApplicationName(QStringLiteral("morvo"));
    settingsPath = QSettings().fileName();
    QDir().mkpath(QFileInfo(settingsPath).path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    {
        QFile file(settingsPath);
        fuzz::require(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                          && file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size),
                      "the settings file was not written");
        // Qt keeps a file it has read until its size or time changes: each
        // run's file gets a time of its own.
        static qint64 run = 0;
        file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + run++), QFileDevice::FileModificationTime);
    }

    ViewOptions options;
    if (SettingsStore::readViewOptions(options)) {
        ViewOptions clamped = options;
        fuzz::require(!clampViewOptions(clamped), "an option read would index past a table");
        fuzz::require(options.oneBitPalette < 3 && options.screenSize < 3 && options.aspectCorrect < 3,
                      "an option read shows in no menu item");
    } else {
        fuzz::require(options == ViewOptions(), "options changed though none were stored");
    }
    const double zoom = SettingsStore::readZoom();
    fuzz::require(std::isfinite(zoom) && zoom >= ZoomSteps::kActualSize && zoom <= ZoomSteps::kMostZoom,
                  "a zoom read lies outside every step");
    SettingsStore::readDotGrid();
    SettingsStore::readDirectories();
    fuzz::require(SettingsStore::readStringList(SettingsStore::kRecentFiles).size() <= SettingsStore::kRecentFilesLength,
                  "the recent pictures read are more than the menu keeps");
    fuzz::require(SettingsStore::readStringList(SettingsStore::kRecentTextScreens).size()
                      <= SettingsStore::kRecentTextScreensLength,
                  "the recent text screens read are more than the menu keeps");
    if (SettingsStore::contains(SettingsStore::kMainWindowGeometry))
        SettingsStore::readBytes(SettingsStore::kMainWindowGeometry);
    return 0;
}
