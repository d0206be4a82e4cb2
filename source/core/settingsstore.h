#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ViewOptions;

// The program's settings, in the platform store of the organisation and
// application names set at start. Every call opens a fresh store, so what
// another part of the program wrote a moment ago is always seen.
namespace SettingsStore {

// Reads the group "engine" into the options when the store has it, checking
// each value once here: a number that is not a number, and a palette slot
// or engine variant that no table has, take the key's default. Returns
// false, leaving the options alone, when the group is absent (first start).
bool readViewOptions(ViewOptions &options);
// The directories the file dialogs start in.
struct Directories {
    QString open;
    QString save;
    QString text;
};
Directories readDirectories();
// Writes every option of the group "engine" and the three directories, then
// syncs.
void writeViewSettings(const ViewOptions &options, const Directories &dirs);

// The zoom on top of the screen size, checked here: a value that is no
// number or lies outside what any screen size allows reads as Actual Size.
double readZoom();
void writeZoom(double zoom);
// The dot grid shown at four times the normal size and above; off at first.
bool readDotGrid();
void writeDotGrid(bool shown);

// Top-level keys.
QString readString(const QString &key);
void writeString(const QString &key, const QString &value);
// A list of strings; a recent list is cut to its length (see below), so
// that a damaged or hand-made file with a huge list cannot slow the start.
QStringList readStringList(const QString &key);
void writeStringList(const QString &key, const QStringList &value, bool sync = true);
QByteArray readBytes(const QString &key);
bool contains(const QString &key);
void writeBytes(const QString &key, const QByteArray &value);

// Key names used by more than one part of the program.
inline const QString kLastOpenDir = QStringLiteral("lastOpenDir");
inline const QString kLastSaveDir = QStringLiteral("lastSaveDir");
inline const QString kLastTextDir = QStringLiteral("lastTextDir");
inline const QString kRecentFiles = QStringLiteral("recentFiles");
inline const QString kRecentTextScreens = QStringLiteral("recentTextScreens");
inline const QString kZoom = QStringLiteral("view/zoom");
inline const QString kDotGrid = QStringLiteral("view/dotGrid");
inline const QString kMainWindowGeometry = QStringLiteral("mainwindow/geometry");

// How many paths the recent lists keep, newest first.
inline constexpr int kRecentFilesLength = 10;
inline constexpr int kRecentTextScreensLength = 5;

} // namespace SettingsStore
