// The boot screens: their order and pauses, with and without sounds, the stop that gives the
// picture and its options back exactly, and the random screen.
#include "builtinscreens.h"
#include "morvowidget.h"
#include "pictureloader.h"
#include "resourcepath.h"
#include "startupsequence.h"
#include "testsupport.h"
#include "textscreen.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

// The screens with no sound files: every sound step is skipped at once.
QString screensOnly(const QString &relativePath)
{
    return relativePath.startsWith(QLatin1String("sounds/")) ? QString() : resolveResourcePath(relativePath);
}

// The picture memory of built-in screen n as the sequence draws it.
QByteArray screenBytes(int n)
{
    PictureState s;
    renderTextScreen(s, readResourceText(builtInTextScreens().at(n).path), appleFontFamily());
    return pictureFileBytes(s);
}

QByteArray shown(MorvoWidget &w) { return pictureFileBytes(w.state()); }

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    void screensComeInOrderWithTheirPauses()
    {
        MorvoWidget picture;
        StartupSequence sequence(&picture, nullptr, screensOnly);
        QElapsedTimer clock;
        clock.start();
        sequence.start();
        // The random screen at once, then the 500 ms pause.
        QVERIFY(picture.overlayVisible());
        const QByteArray apple = screenBytes(0), welcome = screenBytes(2);
        QTRY_COMPARE_WITH_TIMEOUT(shown(picture), apple, 3000);
        QVERIFY2(clock.elapsed() >= 450, qPrintable(QString::number(clock.elapsed())));
        // 250 ms later ProDOS and, with no sounds to wait for, Welcome, which stays.
        QTRY_COMPARE_WITH_TIMEOUT(shown(picture), welcome, 3000);
        QVERIFY(clock.elapsed() >= 700);
        QCOMPARE(picture.overlayImage(), picture.image());
        QTest::qWait(300);
        QVERIFY(sequence.isRunning());
        QCOMPARE(shown(picture), welcome);
    }

    void stopDuringAPauseGivesEverythingBack()
    {
        MorvoWidget picture;
        PictureState &s = picture.state();
        s.isDhgr = false;
        s.mainMemory[100] = 0x2A;
        s.paletteType = 6;
        s.bmFinalDepth = 1;
        picture.refresh();
        const ViewOptions options = s.viewOptions();
        const QByteArray bytes = shown(picture);
        const QImage frame = picture.image();

        StartupSequence sequence(&picture, nullptr, screensOnly);
        QSignalSpy finished(&sequence, &StartupSequence::finished);
        sequence.start();
        QVERIFY(shown(picture) != bytes);
        sequence.stop();
        QVERIFY(!sequence.isRunning() && !picture.overlayVisible());
        QVERIFY(s.viewOptions() == options);
        QCOMPARE(picture.image(), frame);
        // The pause's timer never fires afterwards, and a second stop is no second end.
        QTest::qWait(900);
        QCOMPARE(shown(picture), bytes);
        sequence.stop();
        QCOMPARE(finished.count(), 1);
    }

    void realSoundsNeverHoldTheBoot()
    {
        // Whatever the machine's audio (none here, or a device that plays), the
        // sequence reaches Welcome; with no files at all too.
        for (const ResourceResolver &resolve : {ResourceResolver(), ResourceResolver([](const QString &) { return QString(); })}) {
            MorvoWidget picture;
            StartupSequence sequence(&picture, nullptr, resolve);
            sequence.start();
            QTRY_COMPARE_WITH_TIMEOUT(sequence.step(), 6, 30000);
            QVERIFY(sequence.isRunning());
        }
    }

    void randomScreen()
    {
        const QString text = randomScreenText();
        // 24 rows of 40 characters, none of them a control character.
        QVERIFY(QRegularExpression(QStringLiteral(R"(^([\x{20}-\x{ff}]{40}\n){23}[\x{20}-\x{ff}]{40}\z)")).match(text).hasMatch());
        QVERIFY(text != randomScreenText());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
