// The drawing tools, the history's steps, the pointer readout and the zoom
// steps, on the picture state alone.
#include "pictureedit.h"
#include "picturechange.h"
#include "picturesnapshot.h"
#include "picturetools.h"
#include "pointerreadout.h"
#include "settingsstore.h"
#include "testsupport.h"
#include "zoomsteps.h"

#include <QSettings>
#include <QUndoStack>
#include <QtTest>

#include <cmath>

using testsupport::dotLit;

namespace {

struct Lit {
    int count = 0;
    QRect bounds;
};

Lit litDots(const PictureState &s)
{
    Lit lit;
    for (int y = 0; y < kScanLines; ++y)
        for (int x = 0; x < kDhgrDots; ++x)
            if (dotLit(s, x, y)) {
                ++lit.count;
                lit.bounds |= QRect(x, y, 1, 1);
            }
    return lit;
}

} // namespace

class TestTools : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    void shapes_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("dots");  // 560 Mode
        QTest::addColumn<QPoint>("a");
        QTest::addColumn<QPoint>("b");
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("count");
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("outline, both corners included") << "outline" << true << QPoint(10, 5) << QPoint(20, 9) << 15 << 28 << QRect(10, 5, 11, 5);
        QTest::newRow("outline, corners swapped") << "outline" << true << QPoint(20, 9) << QPoint(10, 5) << 15 << 28 << QRect(10, 5, 11, 5);
        QTest::newRow("outline past the top left: two sides show") << "outline" << true << QPoint(-5, -5) << QPoint(3, 3) << 15 << 7 << QRect(0, 0, 4, 4);
        QTest::newRow("filled past the bottom right corner") << "filled" << true << QPoint(600, 200) << QPoint(557, 189) << 15 << 9 << QRect(557, 189, 3, 3);
        QTest::newRow("filled all outside") << "filled" << true << QPoint(-9, 5) << QPoint(-1, 50) << 15 << 0 << QRect();
        // In colour, whole cells: dots 5 to 10 lie in the cells from 4 and 8.
        QTest::newRow("filled in white cells") << "filled" << false << QPoint(5, 0) << QPoint(10, 1) << 15 << 16 << QRect(4, 0, 8, 2);
        // By the book colour 3 (dot phases 2 and 3) starts its cells two dots late.
        QTest::newRow("filled, colour 3 late") << "filled" << false << QPoint(5, 0) << QPoint(10, 0) << 3 << 4 << QRect(6, 0, 6, 1);
        QTest::newRow("outline in cells, clipped at the right") << "outline" << false << QPoint(550, 10) << QPoint(700, 12) << 15 << 12 + 4 + 12 << QRect(548, 10, 12, 3);
    }

    void shapes()
    {
        QFETCH(QString, shape);
        QFETCH(bool, dots);
        QFETCH(QPoint, a);
        QFETCH(QPoint, b);
        QFETCH(int, colour);
        QFETCH(int, count);
        QFETCH(QRect, bounds);
        PictureState s;
        s.is560Mode = dots;
        s.jexEngine = false;
        if (shape == "outline")
            drawRectangle(s, a, b, colour);
        else
            fillRectangle(s, a, b, colour);
        const Lit lit = litDots(s);
        QCOMPARE(lit.count, count);
        QCOMPARE(lit.bounds, bounds);
    }

    void fill_data()
    {
        QTest::addColumn<QString>("walls");
        QTest::addColumn<bool>("dots");
        QTest::addColumn<QPoint>("seed");
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("count");  // lit dots afterwards
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("dots: the whole screen") << "" << true << QPoint(300, 100) << 15 << kDhgrDots * kScanLines << QRect(0, 0, kDhgrDots, kScanLines);
        // Colour 8 lights one dot phase in four: the fill still ends.
        QTest::newRow("dots: one phase of the whole screen") << "" << true << QPoint(3, 3) << 8 << kDhgrDots / 4 * kScanLines << QRect(0, 0, 557, kScanLines);
        QTest::newRow("dots: up to a wall of dots") << "column 101" << true << QPoint(50, 50) << 15 << 102 * kScanLines << QRect(0, 0, 102, kScanLines);
        // The wall's dot lies in the cell from 100: the colour fill stops a cell before.
        QTest::newRow("cells: up to the wall's cell") << "column 101" << false << QPoint(50, 50) << 15 << 101 * kScanLines << QRect(0, 0, 102, kScanLines);
        QTest::newRow("cells: seed on the wall fills the wall's cells") << "column 101" << false << QPoint(103, 7) << 15 << 4 * kScanLines << QRect(100, 0, 4, kScanLines);
        // Neighbours side by side and above and below only: a diagonal holds.
        QTest::newRow("dots: a diagonal is a wall") << "diagonal" << true << QPoint(300, 10) << 15 << -1 << QRect(0, 0, kDhgrDots, kScanLines);
        QTest::newRow("cells: a box of another colour") << "box" << false << QPoint(60, 60) << 15 << -2 << QRect(41, 40, 46, 41);
        QTest::newRow("off the picture: nothing") << "" << false << QPoint(560, 5) << 15 << 0 << QRect();
    }

    void fill()
    {
        QFETCH(QString, walls);
        QFETCH(bool, dots);
        QFETCH(QPoint, seed);
        QFETCH(int, colour);
        QFETCH(int, count);
        QFETCH(QRect, bounds);
        PictureState s;
        s.jexEngine = false;
        s.is560Mode = true;
        if (walls == "column 101")
            drawPencilLine(s, QPoint(101, 0), QPoint(101, 191), 15);
        if (walls == "diagonal")
            drawPencilLine(s, QPoint(0, 0), QPoint(191, 191), 15);
        s.is560Mode = false;
        if (walls == "box")
            drawRectangle(s, QPoint(40, 40), QPoint(84, 80), 6);
        const PictureSnapshot before = PictureSnapshot::of(s);
        s.is560Mode = dots;
        floodFill(s, seed, colour);
        Lit lit = litDots(s);
        if (count == -1) {
            // Everything on and above the diagonal, x >= y.
            int above = 0;
            for (int y = 0; y < kScanLines; ++y)
                above += kDhgrDots - y;
            count = above;
        }
        if (count == -2) {
            // The box's cells keep colour 6; the cells inside are white, none outside.
            for (int y = 40; y <= 80; ++y)
                for (int cell = 10; cell <= 21; ++cell) {
                    const bool wall = y == 40 || y == 80 || cell == 10 || cell == 21;
                    QCOMPARE(colorSeenAt(s, QPoint(4 * cell, y)), wall ? 6 : 15);
                }
            count = lit.count;
            QCOMPARE(PictureSnapshot::of(s).auxMemory[0], before.auxMemory[0]);
        }
        QCOMPARE(lit.count, count);
        QCOMPARE(lit.bounds, bounds);
    }

    // The eyedropper sees an HGR picture as the DHGR picture it turns into,
    // in colour and in monochrome; a DHGR cell's colour is its four dots.
    void colorSeen()
    {
        PictureState s;
        s.auxMemory[0] = 0x50;  // dots 4 and 6: colour 8 | 2 in the cell from 4
        QCOMPARE(colorSeenAt(s, QPoint(5, 0)), 10);
        QCOMPARE(colorSeenAt(s, QPoint(-1, 0)), -1);
        s.bmFinalDepth = 1;
        QCOMPARE(colorSeenAt(s, QPoint(6, 0)), 15);
        QCOMPARE(colorSeenAt(s, QPoint(5, 0)), 0);

        PictureState hgr;
        hgr.isDhgr = false;
        QRandomGenerator rng(11);
        testsupport::fillRandom(hgr.mainMemory, rng, 1);
        PictureState dhgr = hgr;
        convertToDhgr(dhgr);
        for (const int depth : {8, 1}) {
            hgr.bmFinalDepth = dhgr.bmFinalDepth = quint16(depth);
            for (int y = 0; y < kScanLines; y += 7)
                for (int x = 0; x < kDhgrDots; ++x)
                    QCOMPARE(colorSeenAt(hgr, QPoint(x, y)), colorSeenAt(dhgr, QPoint(x, y)));
        }
    }

    void readout_data()
    {
        QTest::addColumn<bool>("dhgr");
        QTest::addColumn<QPoint>("dot");
        QTest::addColumn<QString>("text");
        QTest::newRow("DHGR first dot, aux") << true << QPoint(0, 0) << "x 0  y 0  $2000 aux = $81  colour 8";
        QTest::newRow("DHGR dot 7, main") << true << QPoint(7, 0) << "x 7  y 0  $2000 main = $03  colour 1";
        QTest::newRow("DHGR dot 14, aux again") << true << QPoint(14, 1) << "x 14  y 1  $2401 aux = $00  colour 0";
        QTest::newRow("DHGR last dot") << true << QPoint(559, 191) << "x 559  y 191  $3FF7 main = $00  colour 0";
        QTest::newRow("HGR dot 3 is DHGR dots 5 and 6") << false << QPoint(6, 0) << "x 3  y 0  $2000 main = $03  colour 0";
        QTest::newRow("HGR last dot of row 1") << false << QPoint(559, 1) << "x 279  y 1  $2427 main = $00  colour 0";
        QTest::newRow("past the last dot") << true << QPoint(560, 0) << "";
        QTest::newRow("above the first row") << false << QPoint(0, -1) << "";
    }

    void readout()
    {
        QFETCH(bool, dhgr);
        QFETCH(QPoint, dot);
        QFETCH(QString, text);
        PictureState s;
        s.isDhgr = dhgr;
        s.auxMemory[0] = 0x81;
        s.mainMemory[0] = 0x03;
        QCOMPARE(PointerReadout::at(s, dot).text(), text);
    }

    // Random steps of every kind: undo brings back the bytes and the kind
    // exactly, redo the state after; what a step keeps grows with what it
    // changed, not with the picture.
    void history()
    {
        PictureState s;
        s.isDhgr = false;
        QRandomGenerator rng(21);
        testsupport::fillRandom(s.mainMemory, rng);
        testsupport::fillRandom(s.auxMemory, rng);
        int applied = 0;
        QUndoStack stack;
        std::vector<PictureSnapshot> states{PictureSnapshot::of(s)};
        for (int step = 0; step < 40; ++step) {
            const PictureSnapshot before = PictureSnapshot::of(s);
            s.is560Mode = rng.bounded(2);
            const QPoint a(rng.bounded(-50, 610), rng.bounded(-20, 210));
            const QPoint b(rng.bounded(-50, 610), rng.bounded(-20, 210));
            convertToDhgr(s);
            switch (step % 5) {
            case 0: drawPencilLine(s, a, b, rng.bounded(16)); break;
            case 1: drawRectangle(s, a, b, rng.bounded(16)); break;
            case 2: fillRectangle(s, a, b, rng.bounded(16)); break;
            case 3: floodFill(s, a, rng.bounded(16)); break;
            case 4: shiftPicture(s, rng.bounded(2)); break;
            }
            auto *command = new PictureChangeCommand(s, before, PictureSnapshot::of(s), QStringLiteral("Step"), [&] { ++applied; });
            int changed = 0;
            for (int i = 0; i < kPictureBytes; ++i)
                changed += (before.auxMemory[size_t(i)] != s.auxMemory[size_t(i)]) + (before.mainMemory[size_t(i)] != s.mainMemory[size_t(i)]);
            QVERIFY(command->storedBytes() <= sizeof(PictureChangeCommand) + 64 + size_t(10 * changed));
            const bool kept = changed > 0 || before.isDhgr != s.isDhgr;
            stack.push(command);
            if (kept)
                states.push_back(PictureSnapshot::of(s));
            QCOMPARE(stack.count(), int(states.size()) - 1);
        }
        QCOMPARE(applied, stack.count());
        for (auto i = states.size() - 1; i > 0; --i) {
            stack.undo();
            QVERIFY(PictureSnapshot::of(s) == states[i - 1]);
        }
        QVERIFY(!s.isDhgr);
        while (stack.canRedo())
            stack.redo();
        QVERIFY(PictureSnapshot::of(s) == states.back());
        QCOMPARE(applied, 3 * stack.count());
    }

    void zoomSteps_data()
    {
        QTest::addColumn<int>("screenSize");
        QTest::addColumn<QList<double>>("steps");  // from Actual Size in and back out
        QTest::newRow("half") << 0 << QList<double>{1, 2, 3, 4, 6, 8, 12, 16};
        QTest::newRow("normal") << 1 << QList<double>{1, 1.5, 2, 3, 4, 6, 8};
        QTest::newRow("double") << 2 << QList<double>{1, 1.5, 2, 3, 4};
    }

    void zoomSteps()
    {
        QFETCH(int, screenSize);
        QFETCH(QList<double>, steps);
        QList<double> in{ZoomSteps::kActualSize};
        while (in.size() < 20 && ZoomSteps::zoomedIn(in.last(), screenSize) != in.last())
            in << ZoomSteps::zoomedIn(in.last(), screenSize);
        QCOMPARE(in, steps);
        QList<double> out{in.last()};
        while (out.size() < 20 && ZoomSteps::zoomedOut(out.last(), screenSize) != out.last())
            out << ZoomSteps::zoomedOut(out.last(), screenSize);
        std::reverse(out.begin(), out.end());
        QCOMPARE(out, steps);
        // A zoom between steps, as a window fits, steps to its neighbours.
        QCOMPARE(ZoomSteps::zoomedIn(2.5, screenSize), std::min(3.0, steps.last()));
        QCOMPARE(ZoomSteps::bounded(std::nan(""), screenSize), 1.0);
    }

    // What the settings hold comes back as a zoom every size can start from.
    void storedZoom_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<double>("zoom");
        QTest::newRow("a step") << QVariant(1.5) << 1.5;
        QTest::newRow("between steps") << QVariant("2.75") << 2.75;
        QTest::newRow("the most") << QVariant(16) << 16.0;
        QTest::newRow("too far") << QVariant(17) << 1.0;
        QTest::newRow("too small") << QVariant(0.25) << 1.0;
        QTest::newRow("no number") << QVariant("huge") << 1.0;
        QTest::newRow("not a number") << QVariant("nan") << 1.0;
    }

    void storedZoom()
    {
        QFETCH(QVariant, stored);
        QFETCH(double, zoom);
        QSettings().setValue(SettingsStore::kZoom, stored);
        QCOMPARE(SettingsStore::readZoom(), zoom);
        SettingsStore::writeZoom(3);
        SettingsStore::writeDotGrid(true);
        QCOMPARE(SettingsStore::readZoom(), 3.0);
        QVERIFY(SettingsStore::readDotGrid());
    }
};

QTEST_MAIN(TestTools)
#include "test_tools.moc"
