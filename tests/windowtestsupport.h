#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

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

inline void clearSettings()
{
    QSettings store;
    store.clear();
    store.sync();
}

// Answers the next message box that opens, from the event loop it runs.
inline void answerNextMessageBox(QMessageBox::StandardButton button, QString *seenText = nullptr, int tries = 200)
{
    QTimer::singleShot(tries == 200 ? 0 : 10, [button, seenText, tries] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (box && box->isVisible()) {
                if (seenText)
                    *seenText = box->text();
                if (QAbstractButton *b = box->button(button))
                    b->click();
                else
                    box->accept();
                return;
            }
        }
        if (tries > 0)
            answerNextMessageBox(button, seenText, tries - 1);
    });
}

} // namespace windowtest
