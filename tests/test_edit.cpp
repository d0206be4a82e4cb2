// The pencil, the HGR to DHGR conversion and the one-dot shifts, on the
// picture state and through real mouse events on the picture widget.
#include "testsupport.h"

#include "morvowidget.h"
#include "pictureedit.h"
#include "pictureloader.h"
#include "render.h"
#include "rowbase.h"

#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

using Dots = QList<int>;
using Points = QList<QPoint>;

bool dhgrDot(const PictureState &s, int d, int y)
{
    const PictureMemory &memory = (d / 7 & 1) ? s.mainMemory : s.auxMemory;
    return memory[rowBaseTable[size_t(y)] + d / 14] & (1 << (d % 7));
}

Dots litInRow(const PictureState &s, int y)
{
    Dots lit;
    for (int x = 0; x < (s.isDhgr ? kDhgrDots : kHgrDots); ++x)
        if (s.isDhgr ? dhgrDot(s, x, y) : (s.mainMemory[rowBaseTable[size_t(y)] + x / 7] >> (x % 7)) & 1)
            lit << x;
    return lit;
}

// Every lit dot as (column, row), row by row.
Points litDots(const PictureState &s)
{
    Points lit;
    for (int y = 0; y < kScanLines; ++y)
        for (int x : litInRow(s, y))
            lit << QPoint(x, y);
    return lit;
}

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

QImage monoView(PictureState s)
{
    s.bmFinalDepth = 1;
    s.jexEngine = false;
    s.bitShifting = true;
    QImage frame;
    renderPicture(s, frame);
    return frame.copy(1, 0, kFrameWidth - 1, kFrameHeight);
}

bool loadCorpusHgr(const QString &name, PictureState &s)
{
    const QByteArray bytes = testsupport::readFile(testsupport::corpusDir() + QStringLiteral("/hgr/") + name);
    if (bytes.size() < kShortestPage)
        return false;
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), kPictureBytes), s.mainMemory.begin());
    s.isDhgr = false;
    return true;
}

void moveWithButton(QWidget *widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
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
    void convert_data();
    void convert();
    void convertKeepsMonochromeView_data();
    void convertKeepsMonochromeView();
    void shiftDhgr();
    void shiftHgr_data();
    void shiftHgr();
    void shiftHgrRightThenLeft();
    void strokeThroughMouseEvents();
    void overlayPressPaintsNothing();
};

void TestEdit::clipLine_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<Points>("clipped");
    // The end outside is moved first, so a clipped line may come back reversed.
    QTest::newRow("inside") << QPoint(10, 10) << QPoint(100, 50) << Points{{10, 10}, {100, 50}};
    QTest::newRow("left") << QPoint(-5, 10) << QPoint(10, 0) << Points{{0, 6}, {10, 0}};
    QTest::newRow("right") << QPoint(550, 20) << QPoint(570, 40) << Points{{559, 29}, {550, 20}};
    QTest::newRow("top") << QPoint(10, -5) << QPoint(13, 5) << Points{{11, 0}, {13, 5}};
    QTest::newRow("bottom") << QPoint(200, 180) << QPoint(220, 200) << Points{{211, 191}, {200, 180}};
    QTest::newRow("vertical, bottom") << QPoint(100, 150) << QPoint(100, 300) << Points{{100, 191}, {100, 150}};
    QTest::newRow("top to bottom") << QPoint(300, -50) << QPoint(310, 250) << Points{{307, 191}, {301, 0}};
    QTest::newRow("across") << QPoint(-100, 96) << QPoint(700, 96) << Points{{559, 96}, {0, 96}};
    QTest::newRow("top-left corner") << QPoint(-10, -10) << QPoint(20, 20) << Points{{0, 0}, {20, 20}};
    // -0.5 truncates to 0, inside, where rounding down would miss the corner.
    QTest::newRow("corner kept by truncation") << QPoint(1, -3) << QPoint(-2, 3) << Points{{0, 0}, {0, 0}};
    QTest::newRow("outside the top-left corner") << QPoint(-10, 5) << QPoint(5, -10) << Points{};
    QTest::newRow("outside the bottom-right corner") << QPoint(555, 200) << QPoint(570, 185) << Points{};
    QTest::newRow("all below") << QPoint(0, 192) << QPoint(559, 400) << Points{};
}

void TestEdit::clipLine()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(Points, clipped);
    QCOMPARE(::clipLine(a, b), !clipped.isEmpty());
    if (!clipped.isEmpty())
        QCOMPARE((Points{a, b}), clipped);
}

void TestEdit::pencilLine_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<Points>("dots");
    QTest::newRow("both ends") << QPoint(10, 5) << QPoint(13, 5) << Points{{10, 5}, {11, 5}, {12, 5}, {13, 5}};
    QTest::newRow("one point") << QPoint(7, 7) << QPoint(7, 7) << Points{{7, 7}};
    QTest::newRow("steep") << QPoint(2, 5) << QPoint(0, 0) << Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}};
    // On a tie the step is diagonal, so the direction decides the points.
    QTest::newRow("tie, rightwards") << QPoint(0, 0) << QPoint(4, 2) << Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}};
    QTest::newRow("tie, leftwards") << QPoint(4, 2) << QPoint(0, 0) << Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
    QTest::newRow("off the left") << QPoint(-5, 3) << QPoint(1, 3) << Points{{0, 3}, {1, 3}};
    QTest::newRow("past the corner") << QPoint(558, 190) << QPoint(600, 232) << Points{{558, 190}, {559, 191}};
    QTest::newRow("outside") << QPoint(-50, -5) << QPoint(600, -1) << Points{};
}

void TestEdit::pencilLine()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(Points, dots);
    PictureState s;
    s.is560Mode = true;
    drawPencilLine(s, from, to, 15);
    QCOMPARE(litDots(s), dots);
}

void TestEdit::colorCell_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<bool>("tables");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("first");
    // How far each colour moves its cell to the right.
    const int bookShift[16] = {0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const int tableShift[16] = {0, 0, 0, 2, 0, 0, 0, 0, 0, 2, 0, 1, 0, 3, 3, 0};
    for (bool tables : {false, true}) {
        for (int colour = 0; colour < 16; ++colour) {
            const int shift = tables ? tableShift[colour] : bookShift[colour];
            QTest::addRow("%s %d at 9", tables ? "tables" : "book", colour) << colour << tables << 9 << 8 + shift;
            QTest::addRow("%s %d at 559", tables ? "tables" : "book", colour) << colour << tables << 559 << 556;
        }
    }
}

// Exactly four dots from first on, each the colour's bit for its own phase,
// over any background; bit 7 is never touched.
void TestEdit::colorCell()
{
    QFETCH(int, colour);
    QFETCH(bool, tables);
    QFETCH(int, x);
    QFETCH(int, first);
    for (const uchar background : {uchar(0x00), uchar(0xFF)}) {
        PictureState s;
        s.auxMemory.fill(background);
        s.mainMemory.fill(background);
        s.jexEngine = tables;
        plotColorCell(s, x, 100, colour);
        for (int d = 0; d < kDhgrDots; ++d) {
            const bool written = d >= first && d < first + 4;
            QCOMPARE(dhgrDot(s, d, 100), written ? (colour & (8 >> (d % 4))) != 0 : background != 0);
        }
        QCOMPARE(anyHighBit(s), background != 0);
        QCOMPARE(s.auxMemory[rowBaseTable[100] + 39] & 0x80, background & 0x80);
    }
}

void TestEdit::singleDots_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<Dots>("litPhases");
    QTest::newRow("black erases") << 0 << Dots{};
    QTest::newRow("dark blue") << 8 << Dots{0};
    QTest::newRow("white") << 15 << Dots{0, 1, 2, 3};
}

void TestEdit::singleDots()
{
    QFETCH(int, colour);
    QFETCH(Dots, litPhases);
    PictureState s;
    s.auxMemory.fill(0xFF);
    s.mainMemory.fill(0xFF);
    s.is560Mode = true;
    drawPencilLine(s, QPoint(0, 40), QPoint(559, 40), colour);
    for (int d = 0; d < kDhgrDots; ++d)
        QCOMPARE(dhgrDot(s, d, 40), litPhases.contains(d % 4));
    QCOMPARE(litDots(s).size(), 191 * kDhgrDots + kDhgrDots / 4 * litPhases.size());
    QVERIFY(s.mainMemory[rowBaseTable[40] + 20] & 0x80);
}

void TestEdit::convert_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<Dots>("dots");
    // HGR dot x with high bit h becomes DHGR dots 2x + h - 1 and 2x + h.
    QTest::newRow("dot 9") << 0 << 0x00 << 0x04 << Dots{17, 18};
    QTest::newRow("dot 9 delayed") << 0 << 0x00 << 0x84 << Dots{18, 19};
    QTest::newRow("dot 0 loses its left half") << 0 << 0x01 << 0x00 << Dots{0};
    // An undelayed byte cuts off the second half of a delayed dot before it;
    // a delayed byte after dot 6 closes the gap between them.
    QTest::newRow("delayed dot 6, undelayed byte") << 0 << 0xC0 << 0x00 << Dots{12};
    QTest::newRow("dot 6, delayed dot 7") << 0 << 0x40 << 0x81 << Dots{11, 12, 13, 14, 15};
    QTest::newRow("dot 279 delayed") << 38 << 0x00 << 0xC0 << Dots{558, 559};
}

void TestEdit::convert()
{
    QFETCH(int, k);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(Dots, dots);
    PictureState s;
    s.isDhgr = false;
    s.bitShifting = false;
    const ViewOptions options = s.viewOptions();
    s.mainMemory[rowBaseTable[50] + k] = uchar(first);
    s.mainMemory[rowBaseTable[50] + k + 1] = uchar(second);
    convertToDhgr(s);
    QVERIFY(s.isDhgr);
    QCOMPARE(s.viewOptions(), options);
    QCOMPARE(litDots(s).size(), dots.size());
    QCOMPARE(litInRow(s, 50), dots);
    QVERIFY(!anyHighBit(s));
    const PictureState once = s;
    convertToDhgr(s);
    QCOMPARE(s.mainMemory, once.mainMemory);
}

void TestEdit::convertKeepsMonochromeView_data()
{
    QTest::addColumn<QString>("picture");
    QTest::newRow("werner") << QStringLiteral("werner.hgr");
    QTest::newRow("winston") << QStringLiteral("winston.hgr");
    QTest::newRow("random, high bits too") << QString();
}

// The same but for column 0, where an undelayed dot 0 has no DHGR dot.
void TestEdit::convertKeepsMonochromeView()
{
    QFETCH(QString, picture);
    PictureState s;
    s.isDhgr = false;
    if (picture.isEmpty())
        fillRandom(s.mainMemory, 7);
    else if (!loadCorpusHgr(picture, s))
        QSKIP("the corpus of real pictures is not available");
    const QImage before = monoView(s);
    convertToDhgr(s);
    QCOMPARE(monoView(s), before);
}

void TestEdit::shiftDhgr()
{
    for (bool left : {true, false}) {
        PictureState s;
        fillRandom(s.auxMemory, 3);
        fillRandom(s.mainMemory, 4);
        const PictureState before = s;
        shiftPicture(s, left);
        QVERIFY(s.isDhgr && !anyHighBit(s));
        for (int y = 0; y < kScanLines; ++y) {
            for (int d = 0; d < kDhgrDots; ++d) {
                const int from = left ? d + 1 : d - 1;
                QCOMPARE(dhgrDot(s, d, y), from >= 0 && from < kDhgrDots && dhgrDot(before, from, y));
            }
        }
    }
    PictureState s;
    if (!applyPictureFile(readPictureFile(testsupport::corpusDir() + QStringLiteral("/dhgr/monarch.dhgr")), s))
        QSKIP("the corpus of real pictures is not available");
    for (int i = 0; i < kDhgrDots - 1; ++i)
        shiftPicture(s, true);
    QVERIFY(!litDots(s).isEmpty());
    shiftPicture(s, true);
    QVERIFY(litDots(s).isEmpty());
}

void TestEdit::shiftHgr_data()
{
    QTest::addColumn<bool>("bitShifting");
    QTest::addColumn<bool>("tables");
    QTest::addColumn<bool>("left");
    QTest::addColumn<int>("byte");
    QTest::addColumn<Dots>("dots");
    // Byte 1 lights dot 10. Without the half-dot delay a dot moves one HGR
    // dot either way; with it a delayed dot moves half a dot onto the
    // undelayed grid, and an undelayed one, which cannot be delayed, a whole
    // dot.
    QTest::newRow("no delay, left") << false << false << true << 0x08 << Dots{9};
    QTest::newRow("no delay, right") << false << false << false << 0x08 << Dots{11};
    QTest::newRow("no delay, high bit, right") << false << false << false << 0x88 << Dots{11};
    QTest::newRow("delay, undelayed, left") << true << false << true << 0x08 << Dots{9};
    QTest::newRow("delay, undelayed, right") << true << false << false << 0x08 << Dots{11};
    QTest::newRow("delay, delayed, left") << true << false << true << 0x88 << Dots{10};
    QTest::newRow("delay, delayed, right") << true << false << false << 0x88 << Dots{11};
    QTest::newRow("tables, delayed, left") << false << true << true << 0x88 << Dots{10};
    QTest::newRow("tables, undelayed, right") << false << true << false << 0x08 << Dots{11};
}

void TestEdit::shiftHgr()
{
    QFETCH(bool, bitShifting);
    QFETCH(bool, tables);
    QFETCH(bool, left);
    QFETCH(int, byte);
    QFETCH(Dots, dots);
    PictureState s;
    s.isDhgr = false;
    s.bitShifting = bitShifting;
    s.jexEngine = tables;
    s.mainMemory[rowBaseTable[77] + 1] = uchar(byte);
    shiftPicture(s, left);
    QVERIFY(!s.isDhgr && !anyHighBit(s));
    QCOMPARE(litDots(s).size(), dots.size());
    QCOMPARE(litInRow(s, 77), dots);
}

// Right then left gives back a picture without high bits, but for the last
// dot of each line, pushed out at the right edge.
void TestEdit::shiftHgrRightThenLeft()
{
    PictureState s;
    if (!loadCorpusHgr(QStringLiteral("werner.hgr"), s))
        QSKIP("the corpus of real pictures is not available");
    PictureMemory expected = s.mainMemory;
    for (int y = 0; y < kScanLines; ++y)
        expected[rowBaseTable[size_t(y)] + 39] &= 0x3F;
    for (bool tables : {false, true}) {
        PictureState t = s;
        t.jexEngine = tables;
        shiftPicture(t, false);
        QVERIFY(t.mainMemory != s.mainMemory);
        shiftPicture(t, true);
        QCOMPARE(t.mainMemory, expected);
    }
}

// Normal size, no aspect correction: widget (x, y) is picture (x, y / 2).
void TestEdit::strokeThroughMouseEvents()
{
    MorvoWidget widget;
    PictureState &s = widget.state();
    s.is560Mode = true;
    s.bmFinalDepth = 1;
    s.oneBitPalette = 1;
    s.isDhgr = false;
    s.mainMemory[0] = 0x01;
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QVERIFY(s.isDhgr && widget.isDrawing());
    QCOMPARE(litDots(s), (Points{{0, 0}}));
    moveWithButton(&widget, QPoint(40, 20));
    QCOMPARE(litInRow(s, 10).size(), 21);
    QCOMPARE(testsupport::rgbAt(widget.image(), 41, 10), 0x33FF33u);

    // Off the picture and back: only the visible part is drawn, from where
    // the mouse really was.
    moveWithButton(&widget, QPoint(-20, 20));
    QCOMPARE(widget.lastPoint(), QPoint(-20, 10));
    QCOMPARE(litInRow(s, 10).size(), 41);
    moveWithButton(&widget, QPoint(10, 80));
    QVERIFY(dhgrDot(s, 0, 30) && dhgrDot(s, 5, 35) && dhgrDot(s, 10, 40));
    QCOMPARE(litDots(s).size(), 1 + 41 + 11);
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 80));
    QVERIFY(!widget.isDrawing());

    // Moving without the button, and a click without moving, change nothing.
    moveWithButton(&widget, QPoint(100, 100));
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QCOMPARE(litDots(s).size(), 1 + 41 + 11);
}

void TestEdit::overlayPressPaintsNothing()
{
    MorvoWidget widget;
    widget.state().isDhgr = false;
    QImage overlay(10, 10, QImage::Format_RGB32);
    overlay.fill(Qt::red);
    widget.showOverlay(overlay);
    QSignalSpy clicked(&widget, &MorvoWidget::overlayClicked);
    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    moveWithButton(&widget, QPoint(200, 100));
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
    QCOMPARE(clicked.count(), 2);
    QVERIFY(!widget.state().isDhgr);
    QVERIFY(litDots(widget.state()).isEmpty());
}

QTEST_MAIN(TestEdit)
#include "test_edit.moc"
