// The program's own data files: the built-in text screens, the boot sounds
// and the icon; where an installation puts them; and a start without them.
#include "builtinscreens.h"
#include "resourcepath.h"
#include "textcodec.h"
#include "testsupport.h"

#include <QtEndian>
#include <QtTest>

#include <cmath>

namespace {

// Outside /tmp's tree no source/resources directory lies above a copied
// executable, so nothing is found unless the test puts it there.
const QString kScratch = "/tmp/morvo-data-XXXXXX";

const QStringList kSounds = {"sounds/beep.wav", "sounds/drive_startup_a.wav", "sounds/pbbbt.wav", "sounds/drive_startup_b.wav"};

QStringList resourceFiles()
{
    QStringList all = kSounds + QStringList{"fonts/Apple_II.ttf", "icons/morvo-icon.png"};
    for (const BuiltInTextScreen &screen : builtInTextScreens())
        all << screen.path;
    return all;
}

} // namespace

class TestData : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void builtInScreen_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("columns");
        for (const BuiltInTextScreen &screen : builtInTextScreens())
            QTest::newRow(qPrintable(screen.name)) << screen.path << (screen.name == "Sample Text Screen" ? 80 : 40);
    }

    // Each screen fits an Apple II text screen and is stored exactly as the
    // program would save it.
    void builtInScreen()
    {
        QFETCH(QString, path);
        QFETCH(int, columns);
        const QString text = readResourceText(path);
        const bool eighty = text.startsWith("80");
        QCOMPARE(eighty ? 80 : 40, columns);
        QVERIFY(eighty || !text.startsWith(QLatin1Char('8')));  // the editor takes a lone "8" for the mark too
        const QStringList rows = text.mid(eighty ? 2 : 0).split(QLatin1Char('\n'));
        QVERIFY(rows.size() <= 24 && !rows.last().isEmpty());
        for (const QString &row : rows)
            QVERIFY2(row.size() <= columns, qPrintable(row));
        QCOMPARE(encodeTextScreen(text), testsupport::readFile(resolveResourcePath(path)));
    }

    void sound_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &path : kSounds)
            QTest::newRow(qPrintable(path)) << path;
    }

    // What QSoundEffect plays everywhere, as tools/make_sounds.py writes it: a
    // 44-byte header for mono 16-bit PCM, then the samples. Short, never
    // clipped, and starting and ending near silence so that it does not click.
    void sound()
    {
        QFETCH(QString, path);
        const QByteArray file = testsupport::readFile(resolveResourcePath(path));
        const auto le32 = [&](int at) { return qFromLittleEndian<quint32>(file.constData() + at); };
        const auto sample = [&](qsizetype i) { return std::abs(int(qFromLittleEndian<qint16>(file.constData() + 44 + 2 * i))); };
        QVERIFY(file.size() > 44 && file.size() < 200 * 1024);
        QCOMPARE(file.left(4) + file.mid(8, 8) + file.mid(36, 4), QByteArray("RIFFWAVEfmt data"));
        QCOMPARE(file.mid(16, 8) + file.mid(32, 4), QByteArray("\x10\0\0\0\1\0\1\0\2\0\x10\0", 12));
        QCOMPARE(le32(40), quint32(file.size() - 44));
        const quint32 rate = le32(24);
        QVERIFY(rate == 22050 || rate == 44100);
        const qsizetype count = (file.size() - 44) / 2;
        QVERIFY(count >= rate / 20 && count < 3 * rate);
        int peak = 0;
        for (qsizetype i = 0; i < count; ++i)
            peak = std::max(peak, sample(i));
        QVERIFY(peak > 3000 && peak < 32767);
        QVERIFY(sample(0) < 330 && sample(count - 1) < 330);
    }

    // The application icon is zoomed by 1.38 before use: the artwork must lie
    // inside the part that survives, with nothing but transparency around it.
    void iconMargin()
    {
        const QImage icon(resolveResourcePath("icons/morvo-icon.png"));
        const int side = icon.width();
        QVERIFY(side >= 512 && icon.height() == side);
        const int margin = (side - int(std::lround(side / 1.38))) / 2;
        const QRect kept(margin, margin, side - 2 * margin, side - 2 * margin);
        int strayPixels = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                strayPixels += !kept.contains(x, y) && qAlpha(icon.pixel(x, y)) != 0;
        QCOMPARE(strayPixels, 0);
        QCOMPARE(qAlpha(icon.pixel(side / 2, side / 2)), 255);
        QCOMPARE(qAlpha(icon.pixel(margin + side / 20, margin + side / 20)), 255);
    }

    // An installed program finds every data file in share/morvo next to
    // bin, not in the source tree.
    void installedLayout()
    {
        QTemporaryDir prefix(kScratch);
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(MORVO_CMAKE_COMMAND, {"--install", MORVO_BINARY_DIR, "--prefix", prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
        const QString bin = prefix.filePath("bin");
        QVERIFY(QFileInfo(bin + "/morvo").isExecutable());
        for (const QString &rel : resourceFiles()) {
            const QString found = resolveResourcePathFrom(bin, rel);
            QCOMPARE(found, QFileInfo(prefix.filePath("share/morvo/" + rel)).absoluteFilePath());
            QCOMPARE(testsupport::readFile(found), testsupport::readFile(resolveResourcePath(rel)));
        }
    }

    void startsWithoutData_data()
    {
        QTest::addColumn<QString>("damage");
        for (const char *damage : {"no resources", "every file garbage", "every file empty", "every file a directory"})
            QTest::newRow(damage) << damage;
    }

    // The program's start-up in test mode, from a copy of the executable that
    // has no data beside it, or only damaged data.
    void startsWithoutData()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir(kScratch);
        const QString exe = dir.filePath("morvo");
        QVERIFY(QFile::copy(testsupport::binDir() + "/morvo", exe));
        QCOMPARE(resolveResourcePathFrom(dir.path(), "textscreens/Welcome.txt"), QString());
        const QByteArray garbage = damage.endsWith("garbage") ? testsupport::readFile(exe).mid(4096, 4096) : QByteArray();
        for (const QString &rel : damage == "no resources" ? QStringList() : resourceFiles()) {
            const QString path = dir.filePath("Resources/" + rel);
            QVERIFY(QDir().mkpath(damage.endsWith("directory") ? path : QFileInfo(path).absolutePath()));
            if (!damage.endsWith("directory"))
                QVERIFY(testsupport::writeFile(path, garbage));
        }
        QVERIFY(testsupport::writeFile(dir.filePath("stripes.hgr"), QByteArray(8192, char(0x2A))));
        QProcess morvo;
        morvo.setEnvironment(QProcess::systemEnvironment() << "QT_QPA_PLATFORM=offscreen" << "XDG_CONFIG_HOME=" + dir.path());
        morvo.setWorkingDirectory(dir.path());
        morvo.start(exe, {dir.filePath("stripes.hgr"), "--test", dir.filePath("out.png")});
        QVERIFY(morvo.waitForFinished(60000));
        const QByteArray err = morvo.readAllStandardError();
        QVERIFY2(morvo.exitStatus() == QProcess::NormalExit && morvo.exitCode() == 0, err.constData());
        QVERIFY2(err.contains("offscreen: 562x192 format=17\n"), err.constData());
        QCOMPARE(QImage(dir.filePath("out.png")).size(), QSize(562, 192));
    }
};

QTEST_GUILESS_MAIN(TestData)
#include "test_data.moc"
