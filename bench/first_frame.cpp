// Start to first painted frame: morvo's own start-up steps (application,
// Apple II font, icon, main window, picture), timed from the moment the
// launching script started this process until the picture widget has been
// painted for the first time. The script passes its start time in
// MORVO_LAUNCH_NS (nanoseconds of the system clock), so that loading the
// libraries counts too.
#include "appicon.h"
#include "mainwindow.h"
#include "morvowidget.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

double millisecondsSinceLaunch()
{
    const qint64 launch = qEnvironmentVariable("MORVO_LAUNCH_NS").toLongLong();
    const qint64 now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::system_clock::now().time_since_epoch()).count();
    return double(now - launch) / 1e6;
}

// Ends the run at the first paint of the picture widget.
class FirstPaint : public QObject {
public:
    double at = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && at == 0) {
            at = millisecondsSinceLaunch();
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    const double atMain = millisecondsSinceLaunch();
    QApplication app(argc, argv);
    const double atApplication = millisecondsSinceLaunch();
    const QIcon icon = prepareApplication();
    MainWindow window;
    if (!icon.isNull())
        window.setWindowIcon(icon);
    const double atWindow = millisecondsSinceLaunch();
    FirstPaint firstPaint;
    MorvoWidget *picture = window.findChild<MorvoWidget *>();
    picture->installEventFilter(&firstPaint);
    window.show();
    if (argc > 1)
        picture->loadPicture(QString::fromLocal8Bit(argv[1]));
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("%.1f %.1f %.1f %.1f\n", atMain, atApplication, atWindow, firstPaint.at);
    return firstPaint.at > 0 ? 0 : 1;
}
