#pragma once

#include "filechooser.h"
#include "mainwindow.h"
#include "morvowidget.h"
#include "picturedocument.h"
#include "textscreeneditor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QtTest>

// Window tests keep their settings in a fresh directory of their own, set
// before the application reads its paths, under the program's real names.
#define MORVO_WINDOW_TEST_MAIN(TestClass)                                  \
    int main(int argc, char **argv)                                        \
    {                                                                      \
        QTemporaryDir config;                                              \
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());                \
        qputenv("QT_QPA_PLATFORM", "offscreen");                           \
        QApplication app(argc, argv);                                      \
        QCoreApplication::setOrganizationName(QStringLiteral("kestrand")); \
        QCoreApplication::setApplicationName(QStringLiteral("morvo"));     \
        TestClass test;                                                    \
        return QTest::qExec(&test, argc, argv);                            \
    }

namespace windowtest {

// Answers the next message box that opens, from the event loop it runs, and
// tells what it said.
inline void answerNextMessageBox(QMessageBox::StandardButton button, QString *seenText, int tries = 200)
{
    QTimer::singleShot(tries == 200 ? 0 : 10, [button, seenText, tries] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            *seenText = box->text();
            box->button(button) ? box->button(button)->click() : box->accept();
        } else if (tries > 0) {
            answerNextMessageBox(button, seenText, tries - 1);
        }
    });
}

// Answers the file dialogs in turn and remembers what they were asked.
struct ScriptedChooser : FileChooser {
    QStringList answers;
    QStringList asked;  // caption | directory or proposal | filter
    QString next(const QString &caption, const QString &where, const QString &filter)
    {
        asked << caption + QLatin1Char('|') + where + QLatin1Char('|') + filter;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString openFileName(QWidget *, const QString &c, const QString &d, const QString &f) override { return next(c, d, f); }
    QString saveFileName(QWidget *, const QString &c, const QString &p, const QString &f) override { return next(c, p, f); }
};

// A main window whose dialogs the test answers.
struct Fixture {
    MainWindow window;
    ScriptedChooser *chooser = new ScriptedChooser;
    Fixture() { window.fileCommands()->setChooser(std::unique_ptr<FileChooser>(chooser)); }
    // The editor window is hidden first, as its own close does, so that the
    // focus leaves it while it is still whole.
    ~Fixture()
    {
        if (TextScreenEditor *editor = window.textEditor()) {
            editor->hide();
            delete editor;
        }
    }
    FileCommands &files() { return *window.fileCommands(); }
    PictureState &state() { return window.document()->state(); }
    TextScreenEditor *editor() { return window.textEditor(); }
    QString status() { return window.statusBar()->currentMessage(); }
    QMenu *fileSubmenu(int index) { return window.menuBar()->actions().first()->menu()->actions().at(index)->menu(); }
    QMenu *recentTextMenu() { return fileSubmenu(2); }
    QMenu *recentMenu() { return fileSubmenu(6); }
    // A menu's entries, "-" for a separator.
    static QStringList entries(QMenu *menu)
    {
        QStringList texts;
        for (QAction *a : menu->actions())
            texts << (a->isSeparator() ? "-" : a->text());
        return texts;
    }
    void open(const QString &path)
    {
        chooser->answers << path;
        files().onOpenGraphic();
    }
};

} // namespace windowtest
