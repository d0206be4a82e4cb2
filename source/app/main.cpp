#include "appicon.h"
#include "mainwindow.h"
#include "quietqt.h"
#include "morvowidget.h"
#include "pictureloader.h"
#include "printablename.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char *kDefaultTestOutput = "/tmp/morvo_test.png";

bool isTestMode(int argc, char **argv)
{
    return argc >= 3 && std::strcmp(argv[2], "--test") == 0;
}

// Renders the named picture with fixed options into a PNG and reports the
// frame's size and format on standard error; a picture that does not load,
// or a PNG that would replace it, is reported instead and nothing is
// written. The default PNG in /tmp is never written through a link there.
int runTestMode(MainWindow &window, const QStringList &args)
{
    const QString &input = args.at(1);
    const bool outputGiven = args.size() >= 4;
    const QString output = outputGiven ? args.at(3) : QString::fromLatin1(kDefaultTestOutput);
    if (isSameFile(input, output)) {
        std::fprintf(stderr, "morvo: %s: the PNG would replace the picture; name another output\n",
                     qPrintable(printableName(output)));
        return 1;
    }

    MorvoWidget *picture = window.findChild<MorvoWidget *>();
    QString status;
    QObject::connect(picture, &MorvoWidget::statusMessage, &window, [&status](const QString &msg) { status = msg; });
    const bool loaded = picture->loadPicture(input);
    PictureState &s = picture->state();
    s.bmFinalDepth = 32;
    s.paletteType = 2;
    s.bitShifting = true;
    s.jexEngine = true;
    s.schemeType = 1;
    s.screenSize = 1;
    s.aspectCorrect = 0;
    picture->refresh();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // A picture that did not load leaves no PNG behind.
    if (!loaded) {
        std::fprintf(stderr, "morvo: %s\n", qPrintable(printableName(status)));
        return 1;
    }

    const QImage &image = picture->image();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", -1);
    QString error;
    const bool saved = writeFileSafely(png, output, error, outputGiven ? LinkUse::Follow : LinkUse::Refuse);
    std::fprintf(stderr, "offscreen: %dx%d format=%d\n", image.width(), image.height(), int(image.format()));
    if (!saved) {
        std::fprintf(stderr, "morvo: could not write %s: %s\n", qPrintable(printableName(output)), qPrintable(error));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // A save past the file size limit (ulimit -f) would end the program
    // with SIGXFSZ and no word; ignored, the write fails with EFBIG, the
    // old file stays and the status bar says "Not saved" and why.
    std::signal(SIGXFSZ, SIG_IGN);
    // Test mode renders without a display; use the offscreen platform unless
    // the caller chose one.
    if (isTestMode(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        quietQtMessages();  // standard error carries exactly one line
    }

    QApplication app(argc, argv);
    const QIcon icon = prepareApplication();

    MainWindow window;
    if (!icon.isNull())
        window.setWindowIcon(icon);
    window.show();

    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3 && args.at(2) == QLatin1String("--test"))
        return runTestMode(window, args);
    // A picture named on the command line is shown with its name in the
    // title; it does not join the recent list.
    if (args.size() >= 2)
        window.fileCommands()->showPicture(args.at(1));
    else
        window.runStartup();
    return app.exec();
}
