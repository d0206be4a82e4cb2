// The renderer's frames, pixel for pixel: the Apple II colour rules on small
// hand-made pictures, the optimised passes against a plain column-by-column
// transcription on random pictures, and real pictures by their checksums.
#include "pictureloader.h"
#include "picturestate.h"
#include "referencerender.h"
#include "render.h"
#include "rowbase.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtTest>

using testsupport::rgbAt;

namespace {

struct Poke {
    bool aux;
    int offset;
    uchar value;
};

// A run of columns expected in one colour on row 0.
struct Span {
    int first;
    int last;
    quint32 rgb;
};

enum Engine { Book, Venderoft, Double, Sharp };

void setEngine(PictureState &s, Engine e)
{
    s.jexEngine = e != Book;
    s.schemeType = quint16(e == Venderoft ? 0 : e == Sharp ? 2 : 1);
}

QImage render(PictureState &s)
{
    QImage frame;
    renderPicture(s, frame);
    return frame;
}

QByteArray frameBytes(const QImage &image)
{
    return QByteArray(reinterpret_cast<const char *>(image.constBits()), int(image.sizeInBytes()));
}

void fillRandom(PictureMemory &memory, QRandomGenerator &rng, int density)
{
    // density 0: every bit random; above: roughly one bit in 2^density lit,
    // which leaves lone dots and gaps for the neighbour rules.
    for (uchar &b : memory) {
        quint32 v = rng.generate();
        for (int d = 0; d < density; ++d)
            v &= rng.generate();
        b = uchar(v);
    }
}

} // namespace

Q_DECLARE_METATYPE(QList<Poke>)
Q_DECLARE_METATYPE(QList<Span>)

class TestRender : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scanLineAddresses();
    void colourRules_data();
    void colourRules();
    void matchesTranscription_data();
    void matchesTranscription();
    void monoBitmapAndEncodersMatchTranscription();
    void outOfRangeOptionsStayInsideTables();
    void realPictures_data();
    void realPictures();
};

void TestRender::scanLineAddresses()
{
    buildRowBaseTable();
    const QList<QPair<int, int>> expected = {{0, 0}, {1, 1024}, {8, 128}, {63, 8064}, {64, 40}, {191, 8144}};
    for (const auto &e : expected)
        QCOMPARE(int(rowBaseTable[size_t(e.first)]), e.second);
}

void TestRender::colourRules_data()
{
    QTest::addColumn<bool>("dhgr");
    QTest::addColumn<QList<Poke>>("pokes");
    QTest::addColumn<int>("engine");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("shifting");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QList<Span>>("spans");

    // Jex's TV: 3 FF7F00 orange, 6 3FFF00 green, 9 FF3FFF violet, 12 3F7FFF blue.
    const quint32 black = 0x000000, white = 0xFFFFFF, violet = 0xFF3FFF, blue = 0x3F7FFF,
                  orange = 0xFF7F00, darkBlue = 0x3F00FF, magenta = 0xBF003F;
    QTest::newRow("lone even dot, group 0: violet")
        << false << QList<Poke>{{false, 0, 0x01}} << int(Book) << 8 << 2 << true << 0
        << QList<Span>{{0, 1, violet}, {2, 561, black}};
    QTest::newRow("lone even dot, group 1, delayed: blue one column right")
        << false << QList<Poke>{{false, 0, 0x81}} << int(Book) << 8 << 2 << true << 0
        << QList<Span>{{0, 0, black}, {1, 2, blue}, {3, 561, black}};
    QTest::newRow("group 1 without bit shifting stays in place")
        << false << QList<Poke>{{false, 0, 0x81}} << int(Book) << 8 << 2 << false << 0
        << QList<Span>{{0, 1, blue}, {2, 561, black}};
    QTest::newRow("seven lit dots are white")
        << false << QList<Poke>{{false, 0, 0x7F}} << int(Book) << 8 << 2 << true << 0
        << QList<Span>{{0, 13, white}, {14, 561, black}};
    QTest::newRow("last dot of a byte takes the next byte's group")
        << false << QList<Poke>{{false, 0, 0x40}, {false, 1, 0x80}} << int(Book) << 8 << 2 << true << 0
        << QList<Span>{{0, 12, black}, {13, 14, blue}, {15, 561, black}};
    QTest::newRow("gap between two violet dots is violet")
        << false << QList<Poke>{{false, 0, 0x05}} << int(Book) << 8 << 2 << false << 0
        << QList<Span>{{0, 5, violet}, {6, 561, black}};
    QTest::newRow("last dot of the line keeps its own byte's group")
        << false << QList<Poke>{{false, 39, 0xC0}} << int(Book) << 8 << 2 << true << 0
        << QList<Span>{{0, 558, black}, {559, 560, orange}, {561, 561, black}};
    QTest::newRow("boundary step paints entry 0, seen with Quarne")
        << false << QList<Poke>{} << int(Book) << 8 << 3 << true << 0
        << QList<Span>{{0, 11, black}, {12, 12, 0x020000}, {13, 25, black}, {26, 26, 0x020000}};
    QTest::newRow("DHGR first dot of a cell: colour 8")
        << true << QList<Poke>{{true, 0, 0x01}} << int(Book) << 8 << 2 << true << 0
        << QList<Span>{{0, 3, darkBlue}, {4, 561, black}};
    QTest::newRow("DHGR cells start one column right with offset 1")
        << true << QList<Poke>{{true, 0, 0x01}} << int(Book) << 8 << 2 << true << 1
        << QList<Span>{{0, 0, black}, {1, 4, darkBlue}, {5, 561, black}};
    QTest::newRow("DHGR fourth dot of a cell: colour 1")
        << true << QList<Poke>{{true, 0, 0x08}} << int(Book) << 8 << 2 << true << 0
        << QList<Span>{{0, 3, magenta}, {4, 561, black}};
    QTest::newRow("DHGR main byte follows its aux byte")
        << true << QList<Poke>{{false, 0, 0x04}} << int(Book) << 8 << 2 << true << 0
        << QList<Span>{{0, 7, black}, {8, 11, 0x3F7F7F}, {12, 561, black}};
    QTest::newRow("Jex: Venderoft, lone DHGR dot 0 is colour 8 in columns 0-3")
        << true << QList<Poke>{{true, 0, 0x01}} << int(Venderoft) << 8 << 0 << true << 0
        << QList<Span>{{0, 3, 0x42307B}, {4, 561, 0x000000}};
    QTest::newRow("Jex engines show entry 0 of Quarne on an empty picture")
        << true << QList<Poke>{} << int(Double) << 8 << 3 << true << 0
        << QList<Span>{{0, 561, 0x020000}};
    QTest::newRow("Jex: Double, window 2 at phase 0 is entry 20")
        << true << QList<Poke>{{true, 0, 0x02}} << int(Double) << 8 << 2 << true << 0
        << QList<Span>{{1, 1, 0x1F4040}};
    QTest::newRow("Jex: Double, window 8 at phase 0 is entry 17")
        << true << QList<Poke>{{true, 0, 0x08}} << int(Double) << 8 << 2 << true << 0
        << QList<Span>{{5, 5, 0x5F0B20}};
    QTest::newRow("Jex: Sharp, window 8 at phase 0 keeps colour 1 when x+3 is lit")
        << true << QList<Poke>{{true, 0, 0x08}, {false, 0, 0x01}} << int(Sharp) << 8 << 2 << true << 0
        << QList<Span>{{5, 5, magenta}};
    QTest::newRow("Jex: Sharp, window 8 at phase 0 is black when x+3 is unlit")
        << true << QList<Poke>{{true, 0, 0x08}} << int(Sharp) << 8 << 2 << true << 0
        << QList<Span>{{5, 5, black}};
    QTest::newRow("mono: undelayed byte cuts a delayed dot 6 in half")
        << false << QList<Poke>{{false, 0, 0xC0}} << int(Book) << 1 << 2 << true << 0
        << QList<Span>{{0, 12, black}, {13, 13, white}, {14, 561, black}};
    QTest::newRow("mono: delayed byte after dot 6 closes the gap")
        << false << QList<Poke>{{false, 0, 0x40}, {false, 1, 0x81}} << int(Book) << 1 << 2 << true << 0
        << QList<Span>{{0, 11, black}, {12, 16, white}, {17, 561, black}};
    QTest::newRow("mono through the table engines always delays")
        << false << QList<Poke>{{false, 0, 0x81}} << int(Double) << 1 << 2 << false << 0
        << QList<Span>{{0, 0, black}, {1, 2, white}, {3, 561, black}};
    QTest::newRow("mono white of Venderoft")
        << false << QList<Poke>{{false, 0, 0x01}} << int(Book) << 1 << 0 << false << 0
        << QList<Span>{{0, 1, 0xFFFBFF}, {2, 561, black}};
    QTest::newRow("stored depth 0 draws entry 15 on black, DHGR dot d at d+1")
        << true << QList<Poke>{{true, 0, 0x01}} << int(Book) << 0 << 0 << true << 0
        << QList<Span>{{0, 0, black}, {1, 1, 0xFFFBFF}, {2, 561, black}};
}

void TestRender::colourRules()
{
    QFETCH(bool, dhgr);
    QFETCH(QList<Poke>, pokes);
    QFETCH(int, engine);
    QFETCH(int, depth);
    QFETCH(int, slot);
    QFETCH(bool, shifting);
    QFETCH(int, offset);
    QFETCH(QList<Span>, spans);

    PictureState s;
    s.isDhgr = dhgr;
    for (const Poke &p : pokes)
        (p.aux ? s.auxMemory : s.mainMemory)[size_t(p.offset)] = p.value;
    setEngine(s, Engine(engine));
    s.bmFinalDepth = quint16(depth);
    s.paletteType = quint16(slot);
    s.bitShifting = shifting;
    s.dhgrColumnOffset = qint16(offset);
    const QImage frame = render(s);
    QCOMPARE(frame.size(), QSize(562, 192));
    QCOMPARE(frame.format(), QImage::Format_RGBA8888);
    for (const Span &span : spans)
        for (int x = span.first; x <= span.last; ++x)
            QVERIFY2(rgbAt(frame, x, 0) == span.rgb,
                     qPrintable(QStringLiteral("column %1: %2, expected %3")
                                    .arg(x).arg(rgbAt(frame, x, 0), 6, 16, QLatin1Char('0'))
                                    .arg(span.rgb, 6, 16, QLatin1Char('0'))));
    // Row 1 (memory offset 1024) was left empty.
    if (slot != 3 || engine == Book)
        QCOMPARE(rgbAt(frame, 0, 1) & 0xFCFCFC, 0u);
}

void TestRender::matchesTranscription_data()
{
    QTest::addColumn<int>("density");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("every bit random") << 0 << 11u;
    QTest::newRow("half the bits") << 1 << 12u;
    QTest::newRow("sparse dots") << 2 << 13u;
    QTest::newRow("lone dots") << 3 << 14u;
}

void TestRender::matchesTranscription()
{
    QFETCH(int, density);
    QFETCH(quint32, seed);
    QRandomGenerator rng(seed);
    PictureState s;
    fillRandom(s.mainMemory, rng, density);
    fillRandom(s.auxMemory, rng, density);
    int compared = 0;
    for (int dhgr = 0; dhgr < 2; ++dhgr)
        for (int engine = Book; engine <= Sharp; ++engine)
            for (int depth : {0, 1, 8})
                for (int shifting = 0; shifting < 2; ++shifting)
                    for (int slot : {0, 3, 7})
                        for (int tint = 0; tint < 3; ++tint)
                            for (int offset = 0; offset < 2; ++offset) {
                                if ((depth != 1 && tint) || (!dhgr && offset))
                                    continue;
                                s.isDhgr = dhgr;
                                setEngine(s, Engine(engine));
                                s.bmFinalDepth = quint16(depth);
                                s.bitShifting = shifting;
                                s.paletteType = quint16(slot);
                                s.oneBitPalette = quint16(tint);
                                s.dhgrColumnOffset = qint16(offset);
                                PictureState copy = s;
                                QImage mine, theirs;
                                renderPicture(s, mine);
                                reference::renderPictureRef(copy, theirs);
                                if (mine != theirs) {
                                    int x = 0, y = 0;
                                    for (y = 0; y < 192; ++y) {
                                        for (x = 0; x < 562 && rgbAt(mine, x, y) == rgbAt(theirs, x, y); ++x) {}
                                        if (x < 562)
                                            break;
                                    }
                                    QFAIL(qPrintable(QStringLiteral("dhgr %1 engine %2 depth %3 shifting %4 slot %5 "
                                                                    "tint %6 offset %7: first difference at (%8, %9)")
                                                         .arg(dhgr).arg(engine).arg(depth).arg(shifting).arg(slot)
                                                         .arg(tint).arg(offset).arg(x).arg(y)));
                                }
                                ++compared;
                            }
    QVERIFY(compared > 100);
}

void TestRender::monoBitmapAndEncodersMatchTranscription()
{
    QRandomGenerator rng(7);
    for (int dhgr = 0; dhgr < 2; ++dhgr)
        for (int delays = 0; delays < 4; ++delays)
            for (quint32 width : {0u, 1u, 2u, 5u}) {
                PictureState s;
                fillRandom(s.mainMemory, rng, 1);
                fillRandom(s.auxMemory, rng, 1);
                s.isDhgr = dhgr;
                PictureState copy = s;
                renderMonoBitmap(s, delays & 1, delays & 2, width);
                reference::renderMonoBitmapRef(copy, delays & 1, delays & 2, width);
                QVERIFY2(s.monoBitmap == copy.monoBitmap,
                         qPrintable(QStringLiteral("dhgr %1 delays %2 width %3").arg(dhgr).arg(delays).arg(width)));
                for (bool asDhgr : {false, true}) {
                    PictureState a = s, b = copy;
                    encodeMonoBitmap(a, asDhgr);
                    reference::encodeMonoBitmapRef(b, asDhgr);
                    QVERIFY(a.auxMemory == b.auxMemory);
                    QVERIFY(a.mainMemory == b.mainMemory);
                }
            }
}

void TestRender::outOfRangeOptionsStayInsideTables()
{
    // Stored settings may hold anything; the renderer clamps the options
    // that index its tables and renders as with the nearest sound value.
    const struct { int slot, variant, offset, cleanSlot, cleanVariant, cleanOffset; } cases[] = {
        {8, 3, -32768, 2, 1, 0},
        {65535, 65535, 32767, 2, 1, 1},
    };
    QRandomGenerator rng(3);
    for (const auto &c : cases)
        for (int dhgr = 0; dhgr < 2; ++dhgr)
            for (int engine = Book; engine <= Sharp; ++engine)
                for (int depth : {0, 1, 8, 65535}) {
                    PictureState s;
                    fillRandom(s.mainMemory, rng, 0);
                    fillRandom(s.auxMemory, rng, 0);
                    s.isDhgr = dhgr;
                    s.jexEngine = engine != Book;
                    s.bmFinalDepth = quint16(depth);
                    s.oneBitPalette = 999;
                    PictureState clean = s;
                    s.paletteType = quint16(c.slot);
                    s.schemeType = quint16(c.variant);
                    s.dhgrColumnOffset = qint16(c.offset);
                    clean.paletteType = quint16(c.cleanSlot);
                    clean.schemeType = quint16(c.cleanVariant);
                    clean.dhgrColumnOffset = qint16(c.cleanOffset);
                    QCOMPARE(render(s), render(clean));
                    QCOMPARE(int(s.paletteType), c.cleanSlot);
                }
}

void TestRender::realPictures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("engine");
    QTest::addColumn<int>("depth");
    QTest::addColumn<QByteArray>("md5");
    // Each frame was looked at as a PNG before its checksum was taken.
    QTest::newRow("monarch, Jex: Double") << "dhgr/monarch.dhgr" << int(Double) << 8 << QByteArray("524ffb39b2fcd8fe78ec38564c29cbe5");
    QTest::newRow("winston, By the Book") << "hgr/winston.hgr" << int(Book) << 8 << QByteArray("2f2a41e7753a941177737e88654029e8");
    QTest::newRow("werner, monochrome") << "hgr/werner.hgr" << int(Book) << 1 << QByteArray("d124bb68b691df2c4bed1dbff3c06070");
    QTest::newRow("superman with its .AUX, Jex: Sharp") << "dhgr/SUPERMAN.HGR" << int(Sharp) << 8 << QByteArray("86ad065f8fb003ff45515557121b35d9");
    QTest::newRow("catface, By the Book") << "dhgr/catface.dhgr" << int(Book) << 8 << QByteArray("b3345e181e3780e37acc0d322aa4a3de");
}

void TestRender::realPictures()
{
    if (!testsupport::haveCorpus())
        QSKIP("the picture corpus is not beside the repository");
    QFETCH(QString, file);
    QFETCH(int, engine);
    QFETCH(int, depth);
    QFETCH(QByteArray, md5);
    PictureState s;
    QVERIFY(applyPictureFile(readPictureFile(testsupport::corpusDir() + QLatin1Char('/') + file), s));
    setEngine(s, Engine(engine));
    s.bmFinalDepth = quint16(depth);
    const QImage frame = render(s);
    QCOMPARE(QCryptographicHash::hash(frameBytes(frame), QCryptographicHash::Md5).toHex(), md5);
}

QTEST_GUILESS_MAIN(TestRender)
#include "test_render.moc"
