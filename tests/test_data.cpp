#include "builtinscreens.h"
#include "resourcepath.h"
#include "textcodec.h"
#include "testsupport.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>

// The program's own data files: the built-in text screens, the boot sounds
// and the icon; where an installation puts them; and a start without them.
class TestData : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void builtInScreen_data();
    void builtInScreen();
    void unreadableResourceText_data();
    void unreadableResourceText();
    void sound_data();
    void sound();
    void iconMargin();
    void installedLayout();
    void startsWithoutData_data();
    void startsWithoutData();
};

namespace {

const QStringList kResourceFiles = {
    QStringLiteral("fonts/Apple_II.ttf"),
    QStringLiteral("icons/morvo-icon.png"),
    QStringLiteral("sounds/beep.wav"),
    QStringLiteral("sounds/drive_startup_a.wav"),
    QStringLiteral("sounds/pbbbt.wav"),
    QStringLiteral("sounds/drive_startup_b.wav"),
    QStringLiteral("textscreens/Apple_IIc.txt"),
    QStringLiteral("textscreens/ProDOS.txt"),
    QStringLiteral("textscreens/Welcome.txt"),
    QStringLiteral("textscreens/Text_Screen_Info.txt"),
    QStringLiteral("textscreens/Sample_Text_Screen.txt"),
};

// Outside /tmp's tree no source/resources directory lies above a copied
// executable, so nothing is found unless the test puts it there.
QString scratchTemplate() { return QStringLiteral("/tmp/morvo-data-XXXXXX"); }

quint32 le32(const QByteArray &b, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData() + at);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (quint32(p[3]) << 24);
}

quint16 le16(const QByteArray &b, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData() + at);
    return quint16(p[0] | (p[1] << 8));
}

struct Wave {
    int format = 0, channels = 0, rate = 0, bits = 0;
    QList<qint16> samples;
};

// Walks the RIFF chunks of a WAV file; a field stays 0 when its chunk is
// missing.
Wave readWave(const QByteArray &file)
{
    Wave w;
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return w;
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = le32(file, at + 4);
        const qsizetype body = at + 8;
        if (body + size > file.size())
            break;
        if (id == "fmt " && size >= 16) {
            w.format = le16(file, body);
            w.channels = le16(file, body + 2);
            w.rate = int(le32(file, body + 4));
            w.bits = le16(file, body + 14);
        } else if (id == "data") {
            for (qsizetype i = 0; i + 1 < size; i += 2)
                w.samples.append(qint16(le16(file, body + i)));
        }
        at = body + size + (size & 1);
    }
    return w;
}

} // namespace

void TestData::builtInScreen_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("columns");
    QTest::newRow("Apple //c") << 0 << "Apple //c" << "textscreens/Apple_IIc.txt" << 40;
    QTest::newRow("ProDOS") << 1 << "ProDOS" << "textscreens/ProDOS.txt" << 40;
    QTest::newRow("Welcome") << 2 << "Welcome" << "textscreens/Welcome.txt" << 40;
    QTest::newRow("Text Screen Info") << 3 << "Text Screen Info" << "textscreens/Text_Screen_Info.txt" << 40;
    QTest::newRow("Sample Text Screen")
        << 4 << "Sample Text Screen" << "textscreens/Sample_Text_Screen.txt" << 80;
}

// Each screen must fit an Apple II text screen and be stored exactly as the
// program would save it.
void TestData::builtInScreen()
{
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(int, columns);

    QCOMPARE(builtInTextScreens().size(), 5);
    QCOMPARE(builtInTextScreens().at(row).name, name);
    QCOMPARE(builtInTextScreens().at(row).path, path);

    const QString text = readResourceText(path);
    QVERIFY(!text.isEmpty());
    const bool eighty = text.startsWith(QLatin1String("80"));
    QCOMPARE(eighty ? 80 : 40, columns);
    // The editor reads a single leading "8" as the 80-column mark too.
    QVERIFY(eighty || !text.startsWith(QLatin1Char('8')));
    const QStringList rows = text.mid(eighty ? 2 : 0).split(QLatin1Char('\n'));
    QVERIFY(rows.size() <= 24);
    QVERIFY(!rows.last().isEmpty());
    for (const QString &r : rows)
        QVERIFY2(r.size() <= columns, qPrintable(r));

    const QByteArray bytes = testsupport::readFile(resolveResourcePath(path));
    QCOMPARE(encodeTextScreen(text), bytes);
}

void TestData::unreadableResourceText_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << "textscreens/Missing.txt";
    QTest::newRow("a directory") << "textscreens";
    QTest::newRow("climbs out") << "textscreens/../textscreens/Welcome.txt";
    QTest::newRow("empty") << "";
}

void TestData::unreadableResourceText()
{
    QFETCH(QString, path);
    QCOMPARE(readResourceText(path), QString());
}

void TestData::sound_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("minSeconds");
    QTest::newRow("beep") << "sounds/beep.wav" << 0.05;
    QTest::newRow("drive start A") << "sounds/drive_startup_a.wav" << 0.5;
    QTest::newRow("pbbbt") << "sounds/pbbbt.wav" << 0.1;
    QTest::newRow("drive start B") << "sounds/drive_startup_b.wav" << 0.5;
}

// What QSoundEffect plays everywhere: 16-bit PCM. Short, never clipped, and
// starting and ending near silence so that it does not click.
void TestData::sound()
{
    QFETCH(QString, path);
    QFETCH(double, minSeconds);
    const QByteArray file = testsupport::readFile(resolveResourcePath(path));
    QVERIFY(!file.isEmpty());
    QVERIFY(file.size() < 200 * 1024);

    const Wave w = readWave(file);
    QCOMPARE(w.format, 1);
    QCOMPARE(w.channels, 1);
    QCOMPARE(w.bits, 16);
    QVERIFY(w.rate == 22050 || w.rate == 44100);
    const double seconds = double(w.samples.size()) / w.rate;
    QVERIFY2(seconds >= minSeconds && seconds < 3.0, qPrintable(QString::number(seconds)));

    int peak = 0;
    for (qint16 s : w.samples)
        peak = std::max(peak, std::abs(int(s)));
    QVERIFY(peak > 3000);
    QVERIFY(peak < 32767);
    QVERIFY(std::abs(int(w.samples.first())) < 330);
    QVERIFY(std::abs(int(w.samples.last())) < 330);
}

// The application icon is zoomed by 1.38 before use: the artwork must lie
// inside the part that survives, with nothing but transparency around it.
void TestData::iconMargin()
{
    const QImage icon(resolveResourcePath(QStringLiteral("icons/morvo-icon.png")));
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.width(), icon.height());
    QVERIFY(icon.width() >= 512);

    const int side = icon.width();
    const int kept = int(std::lround(side / 1.38));
    const int margin = (side - kept) / 2;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool outside = x < margin || y < margin || x >= side - margin || y >= side - margin;
            if (outside && qAlpha(icon.pixel(x, y)) != 0)
                QFAIL(qPrintable(QStringLiteral("artwork in the trimmed margin at %1,%2").arg(x).arg(y)));
        }
    }
    QCOMPARE(qAlpha(icon.pixel(side / 2, side / 2)), 255);
    QCOMPARE(qAlpha(icon.pixel(margin + side / 20, margin + side / 20)), 255);
}

// An installed program finds every data file beside its executable, in
// Resources next to bin, not in the source tree.
void TestData::installedLayout()
{
    QTemporaryDir prefix(scratchTemplate());
    QVERIFY(prefix.isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(MORVO_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(MORVO_BINARY_DIR),
                   QStringLiteral("--prefix"), prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());

    const QString bin = prefix.filePath(QStringLiteral("bin"));
    QVERIFY(QFileInfo(bin + QStringLiteral("/morvo")).isExecutable());
    const QString resources = QDir(prefix.filePath(QStringLiteral("Resources"))).absolutePath() + QLatin1Char('/');
    for (const QString &rel : kResourceFiles) {
        const QString found = resolveResourcePathFrom(bin, rel);
        QVERIFY2(found == resources + rel, qPrintable(rel + QStringLiteral(" -> ") + found));
        const QString source = resolveResourcePath(rel);
        QVERIFY2(testsupport::readFile(found) == testsupport::readFile(source), qPrintable(rel));
    }
}

void TestData::startsWithoutData_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("no resources directory") << "none";
    QTest::newRow("garbage font") << "garbage font";
    QTest::newRow("garbage icon") << "garbage icon";
    QTest::newRow("every file empty") << "empty";
    QTest::newRow("every file a directory") << "directories";
}

// The program's start-up in test mode, from a copy of the executable that
// has no data beside it, or only damaged data.
void TestData::startsWithoutData()
{
    QFETCH(QString, damage);
    QTemporaryDir dir(scratchTemplate());
    QVERIFY(dir.isValid());
    const QString exe = dir.filePath(QStringLiteral("morvo"));
    QVERIFY(QFile::copy(QStringLiteral(MORVO_BINARY_DIR "/bin/morvo"), exe));
    QVERIFY(QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner));
    QCOMPARE(resolveResourcePathFrom(dir.path(), QStringLiteral("textscreens/Welcome.txt")), QString());

    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 151 + 7) & 0xFF);
    const QDir resources(dir.filePath(QStringLiteral("Resources")));
    for (const QString &rel : damage == QLatin1String("none") ? QStringList() : kResourceFiles) {
        const QString path = resources.filePath(rel);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        if (damage == QLatin1String("empty"))
            QVERIFY(testsupport::writeFile(path, QByteArray()));
        else if (damage == QLatin1String("directories"))
            QVERIFY(QDir().mkpath(path));
        else if ((damage == QLatin1String("garbage font") && rel.startsWith(QLatin1String("fonts/")))
                 || (damage == QLatin1String("garbage icon") && rel.startsWith(QLatin1String("icons/"))))
            QVERIFY(testsupport::writeFile(path, garbage));
    }

    QByteArray hgr(8192, '\0');
    for (int i = 0; i < hgr.size(); ++i)
        hgr[i] = char(i % 3 ? 0x2A : 0xD5);
    const QString picture = dir.filePath(QStringLiteral("stripes.hgr"));
    QVERIFY(testsupport::writeFile(picture, hgr));
    const QString output = dir.filePath(QStringLiteral("out.png"));

    QProcess morvo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    morvo.setProcessEnvironment(env);
    morvo.setWorkingDirectory(dir.path());
    morvo.start(exe, {picture, QStringLiteral("--test"), output});
    QVERIFY(morvo.waitForFinished(60000));
    const QByteArray err = morvo.readAllStandardError();
    QCOMPARE(morvo.exitStatus(), QProcess::NormalExit);
    QVERIFY2(morvo.exitCode() == 0, err.constData());
    QVERIFY2(err.contains("offscreen: 562x192 format=17\n"), err.constData());
    const QImage frame(output);
    QCOMPARE(frame.size(), QSize(562, 192));
}

QTEST_GUILESS_MAIN(TestData)
#include "test_data.moc"
