// The renderer's frames, pixel for pixel: the Apple II colour rules on small
// hand-made pictures, and whole frames of real, sample and random pictures
// in every engine by their checksums.
#include "pictureloader.h"
#include "render.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QtTest>

using testsupport::fillRandom;
using testsupport::rgbAt;

namespace {

// "ENGINE DEPTH SLOT", then "noshift" for no half-dot delay and "offset1"
// for DHGR cells from column 1.
void setOptions(PictureState &s, const QString &options)
{
    const QStringList words = options.split(' ');
    const int engine = QStringList{"book", "venderoft", "double", "sharp"}.indexOf(words[0]);
    s.jexEngine = engine > 0;
    s.schemeType = quint16(engine == 1 ? 0 : engine == 3 ? 2 : 1);
    s.bmFinalDepth = words[1].toUShort();
    s.paletteType = words[2].toUShort();
    s.bitShifting = !words.contains("noshift");
    s.dhgrColumnOffset = words.contains("offset1");
}

QImage render(PictureState &s)
{
    QImage frame;
    renderPicture(s, frame);
    return frame;
}

} // namespace

class TestRender : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void colourRules_data()
    {
        QTest::addColumn<QString>("picture");  // "HGR" or "DHGR", then bytes of row 0: a(ux) or m(ain), offset=hex
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("row0");     // columns first-last=RRGGBB
        // Jex's TV: 3 FF7F00 orange, 6 3FFF00 green, 9 FF3FFF violet, 12 3F7FFF blue; 8 3F00FF, 1 BF003F.
        QTest::newRow("lone dot, group 1, delayed: blue a column right") << "HGR m0=81" << "book 8 2" << "0=0 1-2=3F7FFF 3-561=0";
        QTest::newRow("group 1 without bit shifting stays") << "HGR m0=81" << "book 8 2 noshift" << "0-1=3F7FFF 2-561=0";
        QTest::newRow("seven lit dots are white") << "HGR m0=7F" << "book 8 2" << "0-13=FFFFFF 14-561=0";
        QTest::newRow("last dot of a byte takes the next byte's group") << "HGR m0=40 m1=80" << "book 8 2" << "0-12=0 13-14=3F7FFF 15-561=0";
        QTest::newRow("gap between two violet dots is violet") << "HGR m0=05" << "book 8 2 noshift" << "0-5=FF3FFF 6-561=0";
        QTest::newRow("last dot of the line keeps its own group") << "HGR m39=C0" << "book 8 2" << "0-558=0 559-560=FF7F00 561=0";
        QTest::newRow("boundary step paints entry 0, seen with Quarne") << "HGR" << "book 8 3" << "0-11=0 12=020000 13-25=0 26=020000";
        QTest::newRow("DHGR first dot of a cell: colour 8, a column right with offset 1") << "DHGR a0=01" << "book 8 2 offset1" << "0=0 1-4=3F00FF 5-561=0";
        QTest::newRow("DHGR fourth dot of a cell: colour 1") << "DHGR a0=08" << "book 8 2" << "0-3=BF003F 4-561=0";
        QTest::newRow("DHGR main byte follows its aux byte") << "DHGR m0=04" << "book 8 2" << "0-7=0 8-11=3F7F7F 12-561=0";
        QTest::newRow("table engines show Quarne's entry 0") << "DHGR" << "double 8 3" << "0-561=020000";
        QTest::newRow("Sharp: window 8 keeps colour 1 when x+3 is lit") << "DHGR a0=08 m0=01" << "sharp 8 2" << "5=BF003F";
        QTest::newRow("Sharp: window 8 is black when x+3 is unlit") << "DHGR a0=08" << "sharp 8 2" << "5=0";
        QTest::newRow("mono: undelayed byte cuts a delayed dot 6") << "HGR m0=C0" << "book 1 2" << "0-12=0 13=FFFFFF 14-561=0";
        QTest::newRow("mono: delayed byte after dot 6 closes the gap") << "HGR m0=40 m1=81" << "book 1 2" << "0-11=0 12-16=FFFFFF 17-561=0";
        QTest::newRow("mono through the table engines always delays") << "HGR m0=81" << "double 1 2 noshift" << "0=0 1-2=FFFFFF 3-561=0";
        QTest::newRow("mono white of Venderoft") << "HGR m0=01" << "book 1 0 noshift" << "0-1=FFFBFF 2-561=0";
        QTest::newRow("stored depth 0: entry 15 on black, dot d at d+1") << "DHGR a0=01" << "book 0 0" << "0=0 1=FFFBFF 2-561=0";
    }

    void colourRules()
    {
        QFETCH(QString, picture);
        QFETCH(QString, options);
        QFETCH(QString, row0);
        PictureState s;
        QStringList pokes = picture.split(' ');
        s.isDhgr = pokes.takeFirst() == "DHGR";
        for (const QString &poke : pokes)
            (poke[0] == 'a' ? s.auxMemory : s.mainMemory)[poke.mid(1).section('=', 0, 0).toUInt()] = uchar(poke.section('=', 1).toUInt(nullptr, 16));
        setOptions(s, options);
        const QImage frame = render(s);
        for (const QString &span : row0.split(' ')) {
            const QStringList columns = span.section('=', 0, 0).split('-');
            const quint32 rgb = span.section('=', 1).toUInt(nullptr, 16);
            for (int x = columns.first().toInt(); x <= columns.last().toInt(); ++x)
                QVERIFY2(rgbAt(frame, x, 0) == rgb, qPrintable(QStringLiteral("column %1: %2").arg(x).arg(rgbAt(frame, x, 0), 6, 16, QLatin1Char('0'))));
        }
    }

    // Stored settings may hold anything: the options that index tables are
    // clamped, and the frame is that of the nearest sound value.
    void outOfRangeOptionsStayInsideTables()
    {
        const struct { int slot, variant, offset, cleanOffset; } cases[] = {{8, 3, -32768, 0}, {65535, 65535, 32767, 1}};
        QRandomGenerator rng(3);
        for (const auto &c : cases)
            for (int kind = 0; kind < 4; ++kind)
                for (int depth : {0, 1, 8, 65535}) {
                    PictureState s;
                    fillRandom(s.mainMemory, rng);
                    fillRandom(s.auxMemory, rng);
                    s.isDhgr = kind & 1;
                    s.jexEngine = kind & 2;
                    s.bmFinalDepth = quint16(depth);
                    s.oneBitPalette = 999;
                    PictureState clean = s;
                    s.paletteType = quint16(c.slot);
                    s.schemeType = quint16(c.variant);
                    s.dhgrColumnOffset = qint16(c.offset);
                    clean.dhgrColumnOffset = qint16(c.cleanOffset);
                    QCOMPARE(render(s), render(clean));
                    QCOMPARE(int(s.paletteType), 2);
                }
    }

    void frames_data()
    {
        QTest::addColumn<QString>("source");  // corpus: or sample: and a file, or "random HGR" / "random DHGR"
        QTest::addColumn<QString>("options");
        QTest::addColumn<QByteArray>("md5");
        // Taken once the frames had been looked at as PNGs and matched a plain
        // column-by-column transcription of the colour rules.
        QTest::newRow("werner, monochrome") << "corpus:hgr/werner.hgr" << "book 1 2" << QByteArray("d124bb68b691df2c4bed1dbff3c06070");
        QTest::newRow("HGR card, By the Book") << "sample:testcard.hgr" << "book 8 2" << QByteArray("fba4f7b27d8aa578859c5bcf57e8076f");
        QTest::newRow("HGR card, no bit shifting, Quarne") << "sample:testcard.hgr" << "book 8 3 noshift" << QByteArray("8535e487b75e078c25ca15664b9141f0");
        QTest::newRow("HGR card, Venderoft") << "sample:testcard.hgr" << "venderoft 8 0" << QByteArray("64515e88b1b85c834353e2774ab70553");
        QTest::newRow("HGR card, mono, table engines") << "sample:testcard.hgr" << "double 1 7 noshift" << QByteArray("524599fce8f19238c8c1d89460071b51");
        QTest::newRow("DHGR card, By the Book, offset 1") << "sample:testcard.dgr" << "book 8 5 offset1" << QByteArray("0d23298711710702a0dddcd402e1be6d");
        QTest::newRow("DHGR card, Sharp") << "sample:testcard.dgr" << "sharp 8 6" << QByteArray("eb3be9a4fb37a47835a6e98fd09a3318");
        QTest::newRow("random HGR, stored depth 0") << "random HGR" << "book 0 3" << QByteArray("d2c220c3ae9f74cb19f5fb84ba4e64de");
        QTest::newRow("random DHGR, Double") << "random DHGR" << "double 8 3" << QByteArray("e353dbc21135bb26a1b3585cd2167110");
        QTest::newRow("random DHGR, monochrome") << "random DHGR" << "book 1 2" << QByteArray("136ee6094d1eb5a52d1b206ee6c092ec");
    }

    void frames()
    {
        QFETCH(QString, source);
        QFETCH(QString, options);
        QFETCH(QByteArray, md5);
        PictureState s;
        if (source.startsWith("random")) {
            QRandomGenerator rng(21);
            fillRandom(s.mainMemory, rng, 1);  // half the bits lit: lone dots, gaps, both groups
            fillRandom(s.auxMemory, rng, 1);
            s.isDhgr = source.endsWith("DHGR");
        } else {
            if (source.startsWith("corpus:") && !QDir(testsupport::corpusDir()).exists())
                QSKIP("the picture corpus is not beside the repository");
            const QString dir = source.startsWith("corpus:") ? testsupport::corpusDir() : testsupport::samplesDir();
            QVERIFY(applyPictureFile(readPictureFile(dir + '/' + source.section(':', 1)), s));
        }
        setOptions(s, options);
        const QImage frame = render(s);
        const QByteArray bytes(reinterpret_cast<const char *>(frame.constBits()), int(frame.sizeInBytes()));
        QCOMPARE(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex(), md5);
    }
};

QTEST_GUILESS_MAIN(TestRender)
#include "test_render.moc"
