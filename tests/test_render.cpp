// The renderer's frames, pixel for pixel: the Apple II colour rules on small
// hand-made pictures, and whole frames of real, sample and random pictures
// in every engine by their checksums.
#include "pictureloader.h"
#include "picturestate.h"
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
    void outOfRangeOptionsStayInsideTables();
    void frames_data();
    void frames();
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

void TestRender::frames_data()
{
    QTest::addColumn<QString>("source");  // a corpus file, a sample, or "random HGR" / "random DHGR"
    QTest::addColumn<int>("engine");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("shifting");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("md5");
    // Taken once the frames had been looked at as PNGs and matched a plain
    // column-by-column transcription of the colour rules.
    const auto row = [](const char *name, const char *source, Engine e, int depth, int slot, bool shifting, int offset, const char *md5) {
        QTest::newRow(name) << QString::fromLatin1(source) << int(e) << depth << slot << shifting << offset << QByteArray(md5);
    };
    row("monarch, Jex: Double", "corpus:dhgr/monarch.dhgr", Double, 8, 2, true, 0, "524ffb39b2fcd8fe78ec38564c29cbe5");
    row("winston, By the Book", "corpus:hgr/winston.hgr", Book, 8, 2, true, 0, "2f2a41e7753a941177737e88654029e8");
    row("werner, monochrome", "corpus:hgr/werner.hgr", Book, 1, 2, true, 0, "d124bb68b691df2c4bed1dbff3c06070");
    row("superman with its .AUX, Jex: Sharp", "corpus:dhgr/SUPERMAN.HGR", Sharp, 8, 2, true, 0, "86ad065f8fb003ff45515557121b35d9");
    row("catface, By the Book", "corpus:dhgr/catface.dhgr", Book, 8, 2, true, 0, "b3345e181e3780e37acc0d322aa4a3de");
    row("HGR card, By the Book", "sample:testcard.hgr", Book, 8, 2, true, 0, "fba4f7b27d8aa578859c5bcf57e8076f");
    row("HGR card, no bit shifting, Quarne", "sample:testcard.hgr", Book, 8, 3, false, 0, "8535e487b75e078c25ca15664b9141f0");
    row("HGR card, Jex: Venderoft", "sample:testcard.hgr", Venderoft, 8, 0, true, 0, "64515e88b1b85c834353e2774ab70553");
    row("HGR card, monochrome through the table engines", "sample:testcard.hgr", Double, 1, 7, false, 0, "524599fce8f19238c8c1d89460071b51");
    row("DHGR card, By the Book, offset 1", "sample:testcard.dgr", Book, 8, 5, true, 1, "0d23298711710702a0dddcd402e1be6d");
    row("DHGR card, Jex: Sharp", "sample:testcard.dgr", Sharp, 8, 6, true, 0, "eb3be9a4fb37a47835a6e98fd09a3318");
    row("random HGR, By the Book", "random HGR", Book, 8, 1, true, 0, "2abd213e390532705a8817839da1c9c0");
    row("random HGR, no bit shifting", "random HGR", Book, 8, 4, false, 0, "f5c98aa2f1cbf622652b9530459ec72c");
    row("random HGR, Jex: Sharp", "random HGR", Sharp, 8, 2, true, 0, "11a86acd7c7491e678ae3f6132b06454");
    row("random HGR, stored depth 0", "random HGR", Book, 0, 3, true, 0, "d2c220c3ae9f74cb19f5fb84ba4e64de");
    row("random DHGR, Jex: Double", "random DHGR", Double, 8, 3, true, 0, "e353dbc21135bb26a1b3585cd2167110");
    row("random DHGR, Jex: Venderoft", "random DHGR", Venderoft, 8, 2, true, 0, "e63cd3b4d3a4c2920f936e1fb5aea888");
    row("random DHGR, monochrome", "random DHGR", Book, 1, 2, true, 0, "136ee6094d1eb5a52d1b206ee6c092ec");
}

void TestRender::frames()
{
    QFETCH(QString, source);
    QFETCH(int, engine);
    QFETCH(int, depth);
    QFETCH(int, slot);
    QFETCH(bool, shifting);
    QFETCH(int, offset);
    QFETCH(QByteArray, md5);
    PictureState s;
    if (source.startsWith(QLatin1String("random"))) {
        // Half the bits lit: lone dots, gaps and both high-bit groups.
        QRandomGenerator rng(21);
        fillRandom(s.mainMemory, rng, 1);
        fillRandom(s.auxMemory, rng, 1);
        s.isDhgr = source.endsWith(QLatin1String("DHGR"));
    } else if (source.startsWith(QLatin1String("sample:"))) {
        QVERIFY(applyPictureFile(readPictureFile(testsupport::samplesDir() + QLatin1Char('/') + source.mid(7)), s));
    } else {
        if (!testsupport::haveCorpus())
            QSKIP("the picture corpus is not beside the repository");
        QVERIFY(applyPictureFile(readPictureFile(testsupport::corpusDir() + QLatin1Char('/') + source.mid(7)), s));
    }
    setEngine(s, Engine(engine));
    s.bmFinalDepth = quint16(depth);
    s.paletteType = quint16(slot);
    s.bitShifting = shifting;
    s.dhgrColumnOffset = qint16(offset);
    const QImage frame = render(s);
    QCOMPARE(QCryptographicHash::hash(frameBytes(frame), QCryptographicHash::Md5).toHex(), md5);
}

QTEST_GUILESS_MAIN(TestRender)
#include "test_render.moc"
