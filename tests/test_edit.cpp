// The pencil, the HGR to DHGR conversion and the one-dot shifts, on the
// picture state and through real mouse events on the picture widget.
#include "testsupport.h"

#include "morvowidget.h"
#include "pictureedit.h"
#include "picturestate.h"
#include "pictureloader.h"
#include "render.h"
#include "rowbase.h"

#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

using Dots = QList<int>;

bool dhgrDot(const PictureState &s, int d, int y)
{
    const int group = d / 7;
    const PictureMemory &memory = (group & 1) ? s.mainMemory : s.auxMemory;
    return memory[rowBaseTable[size_t(y)] + group / 2] & (1 << (d % 7));
}

bool hgrDot(const PictureState &s, int x, int y)
{
    return s.mainMemory[rowBaseTable[size_t(y)] + x / 7] & (1 << (x % 7));
}

Dots dhgrLine(const PictureState &s, int y)
{
    Dots lit;
    for (int d = 0; d < kDhgrDots; ++d)
        if (dhgrDot(s, d, y))
            lit << d;
    return lit;
}

Dots hgrLine(const PictureState &s, int y)
{
    Dots lit;
    for (int x = 0; x < kHgrDots; ++x)
        if (hgrDot(s, x, y))
            lit << x;
    return lit;
}

// Every lit DHGR dot as (column, row), row by row.
QList<QPoint> litDots(const PictureState &s)
{
    QList<QPoint> lit;
    for (int y = 0; y < kScanLines; ++y)
        for (int d : dhgrLine(s, y))
            lit << QPoint(d, y);
    return lit;
}

// Whether any scan-line byte (the 40 of each line, in both images) has bit 7 set.
bool anyHighBit(const PictureState &s)
{
    for (int y = 0; y < kScanLines; ++y)
        for (int k = 0; k < kBytesPerLine; ++k)
            if ((s.auxMemory[rowBaseTable[size_t(y)] + k] | s.mainMemory[rowBaseTable[size_t(y)] + k]) & 0x80)
                return true;
    return false;
}

void fillRandom(PictureMemory &memory, quint32 seed)
{
    QRandomGenerator rng(seed);
    for (uchar &b : memory)
        b = uchar(rng.generate());
}

// The monochrome view a user sees with "By the Book" and bit shifting on.
QImage monoView(PictureState s)
{
    s.bmFinalDepth = 1;
    s.jexEngine = false;
    s.bitShifting = true;
    QImage frame;
    renderPicture(s, frame);
    return frame;
}

bool loadCorpusHgr(const QString &name, PictureState &s)
{
    const QByteArray bytes = testsupport::readFile(testsupport::corpusDir() + QStringLiteral("/hgr/") + name);
    if (bytes.size() < kShortestPage)
        return false;
    s.clearMemory();
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), kPictureBytes), s.mainMemory.begin());
    s.isDhgr = false;
    return true;
}

} // namespace

class TestEdit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { pencilColor = 15; }

    void clipLine_data();
    void clipLine();
    void pencilLine_data();
    void pencilLine();
    void colorCell_data();
    void colorCell();
    void singleDots_data();
    void singleDots();

    void convertDots_data();
    void convertDots();
    void convertKeepsMonochromeView_data();
    void convertKeepsMonochromeView();

    void shiftDhgr_data();
    void shiftDhgr();
    void shiftDhgrLeftUntilEmpty();
    void shiftHgr_data();
    void shiftHgr();
    void shiftHgrRightThenLeft();

    void strokeThroughMouseEvents();
    void pressWithoutMoving_data();
    void pressWithoutMoving();
    void overlayPressPaintsNothing();
};

void TestEdit::clipLine_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QPoint>("clippedA");
    QTest::addColumn<QPoint>("clippedB");

    const QPoint none;
    // The point outside always comes first once clipping starts, so a clipped
    // line may come back with its ends swapped.
    QTest::newRow("inside") << QPoint(10, 10) << QPoint(100, 50) << true << QPoint(10, 10) << QPoint(100, 50);
    QTest::newRow("left edge") << QPoint(-10, 50) << QPoint(10, 50) << true << QPoint(0, 50) << QPoint(10, 50);
    QTest::newRow("right edge") << QPoint(550, 20) << QPoint(570, 40) << true << QPoint(559, 29) << QPoint(550, 20);
    QTest::newRow("top edge, vertical") << QPoint(100, -10) << QPoint(100, 10) << true << QPoint(100, 0) << QPoint(100, 10);
    QTest::newRow("bottom edge") << QPoint(200, 180) << QPoint(220, 200) << true << QPoint(211, 191) << QPoint(200, 180);
    QTest::newRow("bottom edge, vertical") << QPoint(100, 150) << QPoint(100, 300) << true << QPoint(100, 191) << QPoint(100, 150);
    QTest::newRow("through the top-left corner") << QPoint(-10, -10) << QPoint(20, 20) << true << QPoint(0, 0) << QPoint(20, 20);
    QTest::newRow("across, both ends outside") << QPoint(-100, 96) << QPoint(700, 96) << true << QPoint(559, 96) << QPoint(0, 96);
    QTest::newRow("top to bottom") << QPoint(300, -50) << QPoint(310, 250) << true << QPoint(307, 191) << QPoint(301, 0);
    QTest::newRow("left, row truncated") << QPoint(-5, 10) << QPoint(10, 0) << true << QPoint(0, 6) << QPoint(10, 0);
    QTest::newRow("top, column truncated") << QPoint(10, -5) << QPoint(13, 5) << true << QPoint(11, 0) << QPoint(13, 5);
    // -0.5 truncates to 0, inside, where rounding down would miss the corner.
    QTest::newRow("corner kept by truncation toward zero") << QPoint(1, -3) << QPoint(-2, 3) << true << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("passes outside the top-left corner") << QPoint(-10, 5) << QPoint(5, -10) << false << none << none;
    QTest::newRow("passes outside the bottom-right corner") << QPoint(555, 200) << QPoint(570, 185) << false << none << none;
    QTest::newRow("all left") << QPoint(-5, 10) << QPoint(-1, 100) << false << none << none;
    QTest::newRow("all below") << QPoint(0, 192) << QPoint(559, 400) << false << none << none;
}

void TestEdit::clipLine()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(bool, visible);
    QFETCH(QPoint, clippedA);
    QFETCH(QPoint, clippedB);
    QCOMPARE(::clipLine(a, b), visible);
    if (visible) {
        QCOMPARE(a, clippedA);
        QCOMPARE(b, clippedB);
    }
}

void TestEdit::pencilLine_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QList<QPoint>>("expected");

    QTest::newRow("horizontal, both ends") << QPoint(10, 5) << QPoint(14, 5)
        << QList<QPoint>{{10, 5}, {11, 5}, {12, 5}, {13, 5}, {14, 5}};
    QTest::newRow("a single point") << QPoint(7, 7) << QPoint(7, 7) << QList<QPoint>{{7, 7}};
    QTest::newRow("steep") << QPoint(0, 0) << QPoint(2, 5)
        << QList<QPoint>{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}};
    QTest::newRow("steep, drawn upwards") << QPoint(2, 5) << QPoint(0, 0)
        << QList<QPoint>{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}};
    // On a tie the step is diagonal, so the direction decides the points.
    QTest::newRow("tie, rightwards") << QPoint(0, 0) << QPoint(4, 2)
        << QList<QPoint>{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}};
    QTest::newRow("tie, leftwards") << QPoint(4, 2) << QPoint(0, 0)
        << QList<QPoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
    QTest::newRow("starts off the left edge") << QPoint(-5, 3) << QPoint(2, 3)
        << QList<QPoint>{{0, 3}, {1, 3}, {2, 3}};
    QTest::newRow("ends past the bottom-right corner") << QPoint(557, 189) << QPoint(600, 232)
        << QList<QPoint>{{557, 189}, {558, 190}, {559, 191}};
    QTest::newRow("entirely outside") << QPoint(-50, -5) << QPoint(600, -1) << QList<QPoint>{};
}

void TestEdit::pencilLine()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QList<QPoint>, expected);
    PictureState s;
    s.is560Mode = true;
    drawPencilLine(s, from, to, 15);
    std::sort(expected.begin(), expected.end(), [](QPoint p, QPoint q) {
        return std::make_pair(p.y(), p.x()) < std::make_pair(q.y(), q.x());
    });
    QCOMPARE(litDots(s), expected);
}

void TestEdit::colorCell_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<bool>("tableEngines");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("firstDot");

    // How far each colour moves the start of its cell to the right.
    const int bookShift[16] = {0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const int tableShift[16] = {0, 0, 0, 2, 0, 0, 0, 0, 0, 2, 0, 1, 0, 3, 3, 0};
    for (int tables = 0; tables < 2; ++tables) {
        for (int colour = 0; colour < 16; ++colour) {
            const int shift = tables ? tableShift[colour] : bookShift[colour];
            const char *family = tables ? "tables" : "book";
            QTest::addRow("%s colour %d at 9", family, colour) << colour << bool(tables) << 9 << 8 + shift;
            QTest::addRow("%s colour %d at 553", family, colour) << colour << bool(tables) << 553 << std::min(552 + shift, 556);
            QTest::addRow("%s colour %d at 559", family, colour) << colour << bool(tables) << 559 << 556;
        }
    }
}

// The cell writes exactly four dots from firstDot on, each the colour's bit
// for its own phase, over any background, and never touches bit 7.
void TestEdit::colorCell()
{
    QFETCH(int, colour);
    QFETCH(bool, tableEngines);
    QFETCH(int, x);
    QFETCH(int, firstDot);
    const int y = 100;
    for (const uchar background : {uchar(0x00), uchar(0xFF)}) {
        PictureState s;
        s.auxMemory.fill(background);
        s.mainMemory.fill(background);
        s.jexEngine = tableEngines;
        plotColorCell(s, x, y, colour);
        for (int d = 0; d < kDhgrDots; ++d) {
            const bool written = d >= firstDot && d < firstDot + 4;
            const bool expected = written ? (colour & (8 >> (d % 4))) != 0 : background != 0;
            QVERIFY2(dhgrDot(s, d, y) == expected, qPrintable(QStringLiteral("dot %1").arg(d)));
        }
        for (int k = 0; k < kBytesPerLine; ++k) {
            QCOMPARE(s.auxMemory[rowBaseTable[y] + k] & 0x80, background & 0x80);
            QCOMPARE(s.mainMemory[rowBaseTable[y] + k] & 0x80, background & 0x80);
        }
    }
}

void TestEdit::singleDots_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<QList<int>>("litPhases");
    QTest::newRow("black erases") << 0 << QList<int>{};
    QTest::newRow("dark blue lights phase 0") << 8 << QList<int>{0};
    QTest::newRow("white lights all") << 15 << QList<int>{0, 1, 2, 3};
}

// In 560 mode a line across the whole picture writes every dot of its row by
// the colour's bit for the dot's phase, and leaves bit 7 and other rows alone.
void TestEdit::singleDots()
{
    QFETCH(int, colour);
    QFETCH(QList<int>, litPhases);
    PictureState s;
    s.auxMemory.fill(0xFF);
    s.mainMemory.fill(0xFF);
    s.is560Mode = true;
    drawPencilLine(s, QPoint(0, 40), QPoint(559, 40), colour);
    for (int d = 0; d < kDhgrDots; ++d)
        QCOMPARE(dhgrDot(s, d, 40), litPhases.contains(d % 4));
    QCOMPARE(dhgrLine(s, 39).size(), kDhgrDots);
    QCOMPARE(dhgrLine(s, 41).size(), kDhgrDots);
    for (int k = 0; k < kBytesPerLine; ++k) {
        QVERIFY(s.auxMemory[rowBaseTable[40] + k] & 0x80);
        QVERIFY(s.mainMemory[rowBaseTable[40] + k] & 0x80);
    }
}

void TestEdit::convertDots_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<Dots>("expected");

    // HGR dot x with high bit h becomes DHGR dots 2x + h - 1 and 2x + h.
    QTest::newRow("dot 9") << 0 << 0x00 << 0x04 << Dots{17, 18};
    QTest::newRow("dot 9 delayed") << 0 << 0x00 << 0x84 << Dots{18, 19};
    QTest::newRow("dot 0 loses its left half") << 0 << 0x01 << 0x00 << Dots{0};
    QTest::newRow("dot 6") << 0 << 0x40 << 0x00 << Dots{11, 12};
    // An undelayed byte cuts off the second half of a delayed dot before it.
    QTest::newRow("delayed dot 6, undelayed byte after") << 0 << 0xC0 << 0x00 << Dots{12};
    // A delayed byte after dot 6 closes the gap between them.
    QTest::newRow("dot 6, delayed dot 7") << 0 << 0x40 << 0x81 << Dots{11, 12, 13, 14, 15};
    QTest::newRow("delayed dots 6 and 7") << 0 << 0xC0 << 0x81 << Dots{12, 13, 14, 15};
    QTest::newRow("dot 279") << 38 << 0x00 << 0x40 << Dots{557, 558};
    QTest::newRow("dot 279 delayed") << 38 << 0x00 << 0xC0 << Dots{558, 559};
}

void TestEdit::convertDots()
{
    QFETCH(int, k);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(Dots, expected);
    PictureState s;
    s.isDhgr = false;
    s.bitShifting = false;
    s.bmFinalDepth = 8;
    const ViewOptions before = s.viewOptions();
    const int y = 50;
    s.mainMemory[rowBaseTable[y] + k] = uchar(first);
    s.mainMemory[rowBaseTable[y] + k + 1] = uchar(second);

    convertToDhgr(s);
    QVERIFY(s.isDhgr);
    QCOMPARE(s.viewOptions(), before);
    QCOMPARE(dhgrLine(s, y), expected);
    QCOMPARE(litDots(s).size(), expected.size());
    QVERIFY(!anyHighBit(s));

    const PictureState converted = s;
    convertToDhgr(s);
    QCOMPARE(s.auxMemory, converted.auxMemory);
    QCOMPARE(s.mainMemory, converted.mainMemory);
}

void TestEdit::convertKeepsMonochromeView_data()
{
    QTest::addColumn<QString>("picture");
    QTest::newRow("werner") << QStringLiteral("werner.hgr");
    QTest::newRow("winston") << QStringLiteral("winston.hgr");
    QTest::newRow("random bytes, high bits included") << QString();
}

// The monochrome view is the same before and after, but for column 0: the
// left half of an undelayed dot 0 has no DHGR dot.
void TestEdit::convertKeepsMonochromeView()
{
    QFETCH(QString, picture);
    PictureState s;
    if (picture.isEmpty()) {
        fillRandom(s.mainMemory, 7);
        s.isDhgr = false;
    } else if (!loadCorpusHgr(picture, s)) {
        QSKIP("the corpus of real pictures is not available");
    }
    const QImage before = monoView(s);
    convertToDhgr(s);
    const QImage after = monoView(s);
    QCOMPARE(before.copy(1, 0, kFrameWidth - 1, kFrameHeight), after.copy(1, 0, kFrameWidth - 1, kFrameHeight));
    QVERIFY(before != monoView(PictureState()));
}

void TestEdit::shiftDhgr_data()
{
    QTest::addColumn<bool>("left");
    QTest::newRow("left") << true;
    QTest::newRow("right") << false;
}

// Every dot moves one place; the dot entering at the edge is unlit and the
// high bits come back clear.
void TestEdit::shiftDhgr()
{
    QFETCH(bool, left);
    PictureState s;
    fillRandom(s.auxMemory, 3);
    fillRandom(s.mainMemory, 4);
    const PictureState before = s;
    shiftPicture(s, left);
    QVERIFY(s.isDhgr);
    QVERIFY(!anyHighBit(s));
    for (int y = 0; y < kScanLines; ++y) {
        for (int d = 0; d < kDhgrDots; ++d) {
            const int from = left ? d + 1 : d - 1;
            const bool expected = from >= 0 && from < kDhgrDots && dhgrDot(before, from, y);
            QVERIFY2(dhgrDot(s, d, y) == expected, qPrintable(QStringLiteral("dot %1 of row %2").arg(d).arg(y)));
        }
    }
}

void TestEdit::shiftDhgrLeftUntilEmpty()
{
    const QString path = testsupport::corpusDir() + QStringLiteral("/dhgr/monarch.dhgr");
    const PictureFile file = readPictureFile(path);
    if (!file.loaded())
        QSKIP("the corpus of real pictures is not available");
    PictureState s;
    QVERIFY(applyPictureFile(file, s));
    for (int i = 0; i < kDhgrDots - 1; ++i)
        shiftPicture(s, true);
    QVERIFY(!litDots(s).isEmpty());
    shiftPicture(s, true);
    QVERIFY(litDots(s).isEmpty());
}

void TestEdit::shiftHgr_data()
{
    QTest::addColumn<bool>("bitShifting");
    QTest::addColumn<bool>("tableEngines");
    QTest::addColumn<bool>("left");
    QTest::addColumn<int>("x");
    QTest::addColumn<bool>("delayed");
    QTest::addColumn<Dots>("expected");

    // Without the half-dot delay a dot moves one HGR dot either way.
    QTest::newRow("no delay, left") << false << false << true << 10 << false << Dots{9};
    QTest::newRow("no delay, right") << false << false << false << 10 << false << Dots{11};
    QTest::newRow("no delay, high bit set, left") << false << false << true << 10 << true << Dots{9};
    QTest::newRow("no delay, high bit set, right") << false << false << false << 10 << true << Dots{11};
    QTest::newRow("no delay, dot 0 leaves") << false << false << true << 0 << false << Dots{};
    QTest::newRow("no delay, dot 279 leaves") << false << false << false << 279 << false << Dots{};
    // With it a delayed dot moves half a dot onto the undelayed grid; an
    // undelayed one, which cannot be delayed, moves a whole dot.
    QTest::newRow("bit shifting, undelayed, left") << true << false << true << 10 << false << Dots{9};
    QTest::newRow("bit shifting, undelayed, right") << true << false << false << 10 << false << Dots{11};
    QTest::newRow("bit shifting, delayed, left") << true << false << true << 10 << true << Dots{10};
    QTest::newRow("bit shifting, delayed, right") << true << false << false << 10 << true << Dots{11};
    QTest::newRow("table engines, delayed, left") << false << true << true << 10 << true << Dots{10};
    QTest::newRow("table engines, undelayed, right") << false << true << false << 10 << false << Dots{11};
    QTest::newRow("bit shifting, dot 279 leaves") << true << false << false << 279 << false << Dots{};
}

void TestEdit::shiftHgr()
{
    QFETCH(bool, bitShifting);
    QFETCH(bool, tableEngines);
    QFETCH(bool, left);
    QFETCH(int, x);
    QFETCH(bool, delayed);
    QFETCH(Dots, expected);
    PictureState s;
    s.isDhgr = false;
    s.bitShifting = bitShifting;
    s.jexEngine = tableEngines;
    const int y = 77;
    s.mainMemory[rowBaseTable[y] + x / 7] = uchar((1 << (x % 7)) | (delayed ? 0x80 : 0));
    shiftPicture(s, left);
    QVERIFY(!s.isDhgr);
    QCOMPARE(hgrLine(s, y), expected);
    QVERIFY(!anyHighBit(s));
    for (int row = 0; row < kScanLines; ++row)
        if (row != y)
            QVERIFY(hgrLine(s, row).isEmpty());
}

// A picture without high bits comes back after a shift right and a shift
// left, but for the last dot of each line, pushed out at the right edge.
void TestEdit::shiftHgrRightThenLeft()
{
    PictureState s;
    if (!loadCorpusHgr(QStringLiteral("werner.hgr"), s))
        QSKIP("the corpus of real pictures is not available");
    PictureMemory expected = s.mainMemory;
    for (int y = 0; y < kScanLines; ++y)
        expected[rowBaseTable[size_t(y)] + kBytesPerLine - 1] &= 0x3F;
    for (bool tables : {false, true}) {
        PictureState t = s;
        t.jexEngine = tables;
        shiftPicture(t, false);
        QVERIFY(t.mainMemory != s.mainMemory);
        shiftPicture(t, true);
        QCOMPARE(t.mainMemory, expected);
    }
}

namespace {

void moveWithButton(QWidget *widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

// Normal size, no aspect correction: widget (x, y) is picture (x, y / 2).
void TestEdit::strokeThroughMouseEvents()
{
    MorvoWidget widget;
    PictureState &s = widget.state();
    s.is560Mode = true;
    s.bmFinalDepth = 1;
    s.oneBitPalette = 1;
    s.jexEngine = false;
    s.isDhgr = false;
    s.mainMemory[rowBaseTable[0]] = 0x01;
    widget.refresh();
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QVERIFY(s.isDhgr);
    QVERIFY(widget.isDrawing());
    QCOMPARE(litDots(s), (QList<QPoint>{{0, 0}}));

    moveWithButton(&widget, QPoint(40, 20));
    QCOMPARE(dhgrLine(s, 10).size(), 21);
    QCOMPARE(testsupport::rgbAt(widget.image(), 41, 10), 0x33FF33u);

    // Off the picture and back: only the visible parts are drawn, and the
    // line back starts where the mouse really was.
    moveWithButton(&widget, QPoint(-20, 20));
    QCOMPARE(widget.lastPoint(), QPoint(-20, 10));
    QCOMPARE(dhgrLine(s, 10).size(), 41);
    moveWithButton(&widget, QPoint(10, 80));
    QVERIFY(dhgrDot(s, 0, 30));
    QVERIFY(dhgrDot(s, 5, 35));
    QVERIFY(dhgrDot(s, 10, 40));
    QVERIFY(!dhgrDot(s, 3, 19));
    QCOMPARE(litDots(s).size(), 1 + 41 + 11);

    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 80));
    QVERIFY(!widget.isDrawing());
    moveWithButton(&widget, QPoint(100, 100));
    QCOMPARE(litDots(s).size(), 1 + 41 + 11);
}

void TestEdit::pressWithoutMoving_data()
{
    QTest::addColumn<bool>("dhgr");
    QTest::newRow("DHGR stays as it is") << true;
    QTest::newRow("HGR becomes DHGR") << false;
}

void TestEdit::pressWithoutMoving()
{
    QFETCH(bool, dhgr);
    MorvoWidget widget;
    PictureState &s = widget.state();
    fillRandom(s.mainMemory, 11);
    fillRandom(s.auxMemory, 12);
    s.isDhgr = dhgr;
    PictureState expected = s;
    convertToDhgr(expected);

    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QVERIFY(s.isDhgr);
    QCOMPARE(s.auxMemory, expected.auxMemory);
    QCOMPARE(s.mainMemory, expected.mainMemory);
}

void TestEdit::overlayPressPaintsNothing()
{
    MorvoWidget widget;
    PictureState &s = widget.state();
    s.isDhgr = false;
    QImage overlay(10, 10, QImage::Format_RGB32);
    overlay.fill(Qt::red);
    widget.showOverlay(overlay);
    QSignalSpy clicked(&widget, &MorvoWidget::overlayClicked);

    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    moveWithButton(&widget, QPoint(200, 100));
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));

    QCOMPARE(clicked.count(), 2);
    QVERIFY(!s.isDhgr);
    QVERIFY(litDots(s).isEmpty());
    QVERIFY(hgrLine(s, 10).isEmpty());
}

QTEST_MAIN(TestEdit)
#include "test_edit.moc"
