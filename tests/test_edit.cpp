// The pencil, the HGR to DHGR conversion and the one-dot shifts, on the
// picture state and through real mouse events on the picture widget.
#include "morvowidget.h"
#include "pictureedit.h"
#include "render.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>

using Dots = QList<int>;
using Points = QList<QPoint>;
using testsupport::dotLit;

namespace {

Dots litInRow(const PictureState &s, int y)
{
    Dots lit;
    for (int x = 0; x < (s.isDhgr ? kDhgrDots : kHgrDots); ++x)
        if (dotLit(s, x, y))
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

// How many bytes of both memories have bit 7 set.
int highBits(const PictureState &s)
{
    const auto high = [](uchar b) { return b > 0x7F; };
    return int(std::count_if(s.auxMemory.cbegin(), s.auxMemory.cend(), high) +
               std::count_if(s.mainMemory.cbegin(), s.mainMemory.cend(), high));
}

void moveWithButton(QWidget *widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class TestEdit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pencilLine_data()
    {
        QTest::addColumn<QPoint>("a");
        QTest::addColumn<QPoint>("b");
        QTest::addColumn<bool>("draw");
        QTest::addColumn<Points>("expected");  // the clipped ends, none when all is outside; or the dots drawn
        // The end outside is moved first, so a clipped line may come back reversed.
        QTest::newRow("clip top to bottom") << QPoint(300, -50) << QPoint(310, 250) << false << Points{{307, 191}, {301, 0}};
        // -0.5 truncates to 0, inside, where rounding down would miss the corner.
        QTest::newRow("corner kept by truncation") << QPoint(1, -3) << QPoint(-2, 3) << false << Points{{0, 0}, {0, 0}};
        QTest::newRow("outside the top-left corner") << QPoint(-10, 5) << QPoint(5, -10) << false << Points{};
        // Ends whose differences pass what an int holds: this one used to
        // send the clipping round for ever.
        QTest::newRow("far off, missing") << QPoint(587672117, 1518802881) << QPoint(-1971598348, -1604455592) << false << Points{};
        QTest::newRow("far off, steep") << QPoint(300, -2000000000) << QPoint(200, 2000000000) << false << Points{{250, 191}, {250, 0}};
        QTest::newRow("draw steep") << QPoint(2, 5) << QPoint(0, 0) << true << Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}};
        // On a tie the step is diagonal, so the direction decides the points.
        QTest::newRow("draw tie, rightwards") << QPoint(0, 0) << QPoint(4, 2) << true << Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}};
        QTest::newRow("draw tie, leftwards") << QPoint(4, 2) << QPoint(0, 0) << true << Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
        // Stepping starts from the clipped ends, not from far outside.
        Points row;
        for (int x = 0; x < kDhgrDots; ++x)
            row << QPoint(x, 7);
        QTest::newRow("draw far off: only the picture's dots") << QPoint(-2000000000, 7) << QPoint(2000000000, 8) << true << row;
    }

    void pencilLine()
    {
        QFETCH(QPoint, a);
        QFETCH(QPoint, b);
        QFETCH(bool, draw);
        QFETCH(Points, expected);
        PictureState s;
        s.is560Mode = true;
        if (draw) {
            drawPencilLine(s, a, b, 15);
            QCOMPARE(litDots(s), expected);
        } else {
            QCOMPARE(clipLine(a, b), !expected.isEmpty());
            QCOMPARE(expected.isEmpty() ? expected : (Points{a, b}), expected);
        }
    }

    void colorCell_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<bool>("tables");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("first");
        // Some colours start their cell late, by the book fewer than with the
        // table engines; never past dot 556.
        QTest::newRow("book 0") << 0 << false << 9 << 8;
        QTest::newRow("book 3 starts late") << 3 << false << 9 << 10;
        QTest::newRow("tables 13 starts late") << 13 << true << 9 << 11;
        QTest::newRow("tables 11 at 559") << 11 << true << 559 << 556;
    }

    // Exactly four dots from first on, each the colour's bit for its own phase,
    // over any background; nothing else changes, bit 7 least of all.
    void colorCell()
    {
        QFETCH(int, colour);
        QFETCH(bool, tables);
        QFETCH(int, x);
        QFETCH(int, first);
        for (const bool background : {false, true}) {
            PictureState s;
            s.auxMemory.fill(background ? 0xFF : 0);
            s.mainMemory = s.auxMemory;
            s.jexEngine = tables;
            plotColorCell(s, x, 100, colour);
            Dots expected;
            for (int d = 0; d < kDhgrDots; ++d)
                if (d >= first && d < first + 4 ? colour & (8 >> (d % 4)) : background)
                    expected << d;
            QCOMPARE(litInRow(s, 100), expected);
            QCOMPARE(litDots(s).size(), expected.size() + (background ? 191 * kDhgrDots : 0));
            QCOMPARE(highBits(s), background ? 2 * kPictureBytes : 0);
        }
    }

    void pictureEdit_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QByteArray>("bytes");  // the start of row 50, aux and main bytes in turn for DHGR
        QTest::addColumn<Dots>("dots");
        // HGR dot x with high bit h becomes DHGR dots 2x + h - 1 and 2x + h
        // (each dot is checked by the monochrome view below); an undelayed
        // dot 0 has no left half.
        QTest::newRow("undelayed dot 0") << "convert" << QByteArray("\x01") << Dots{0};
        QTest::newRow("DHGR left alone") << "DHGR convert" << QByteArray("\x01\x02") << Dots{0, 8};
        // Without the half-dot delay dot 10 moves one HGR dot either way; with
        // it a delayed dot moves half a dot onto the undelayed grid.
        QTest::newRow("left") << "shift left" << QByteArray("\x00\x08", 2) << Dots{9};
        QTest::newRow("right") << "shift right" << QByteArray("\x00\x08", 2) << Dots{11};
        QTest::newRow("delayed left, delay") << "shift left, delay" << QByteArray("\x00\x88", 2) << Dots{10};
        QTest::newRow("delayed right, delay") << "shift right, delay" << QByteArray("\x00\x88", 2) << Dots{11};
        QTest::newRow("delayed left, tables") << "shift left, tables" << QByteArray("\x00\x88", 2) << Dots{10};
        // DHGR dots move one column across aux and main bytes, the one entering unlit.
        QTest::newRow("DHGR left") << "DHGR shift left" << QByteArray("\x81\x01\x81") << Dots{6, 13};
        QTest::newRow("DHGR right") << "DHGR shift right" << QByteArray("\x40\xC0") + QByteArray(77, 0) + '\x40' << Dots{7, 14};
    }

    // Every high bit comes out clear and the view options stay.
    void pictureEdit()
    {
        QFETCH(QString, edit);
        QFETCH(QByteArray, bytes);
        QFETCH(Dots, dots);
        PictureState s;
        s.isDhgr = edit.startsWith("DHGR");
        s.bitShifting = edit.contains("delay");
        s.jexEngine = edit.contains("tables");
        const ViewOptions options = s.viewOptions();
        for (int i = 0; i < bytes.size(); ++i)
            (s.isDhgr && i % 2 == 0 ? s.auxMemory : s.mainMemory)[rowBaseTable[50] + (s.isDhgr ? i / 2 : i)] = uchar(bytes[i]);
        if (edit.contains("convert"))
            convertToDhgr(s);
        else
            shiftPicture(s, edit.contains("left"));
        QCOMPARE(s.isDhgr, !edit.startsWith("shift"));
        QCOMPARE(highBits(s), 0);
        QCOMPARE(s.viewOptions(), options);
        QCOMPARE(litDots(s).size(), dots.size());
        QCOMPARE(litInRow(s, 50), dots);
    }

    // Random bytes, high bits included, look the same in monochrome before
    // and after; column 0, where an undelayed dot 0 has no DHGR dot, is left out.
    void convertKeepsMonochromeView()
    {
        const auto monoView = [](PictureState s) {
            s.bmFinalDepth = 1;
            s.jexEngine = false;
            QImage frame;
            renderPicture(s, frame);
            return frame.copy(1, 0, kFrameWidth - 1, kFrameHeight);
        };
        PictureState s;
        s.isDhgr = false;
        QRandomGenerator rng(7);
        testsupport::fillRandom(s.mainMemory, rng);
        const QImage before = monoView(s);
        convertToDhgr(s);
        QVERIFY(monoView(s) == before);
    }

    // Normal size, no aspect correction: widget pixel (x, y) shows frame
    // column x of row y / 2, and the monochrome frame shows dot d in column
    // d + 1, so the pencil draws dot x - 1.
    void strokeThroughMouseEvents()
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
        // A press turns the HGR picture into DHGR first; each move draws and
        // shows the line, under the pointer.
        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QVERIFY(s.isDhgr && widget.isDrawing());
        QCOMPARE(litDots(s), (Points{{0, 0}}));
        moveWithButton(&widget, QPoint(40, 20));
        QCOMPARE(litInRow(s, 10).size(), 21);
        QCOMPARE(testsupport::rgbAt(widget.image(), 40, 10), 0x33FF33u);
        QCOMPARE(testsupport::rgbAt(widget.image(), 41, 10), 0u);
        // Off the picture and back: only the visible part is drawn, from where
        // the mouse really was.
        moveWithButton(&widget, QPoint(-20, 20));
        moveWithButton(&widget, QPoint(10, 80));
        QCOMPARE(litInRow(s, 10).size(), 40);
        QVERIFY(dotLit(s, 0, 31) && dotLit(s, 4, 35) && dotLit(s, 9, 40));
        QCOMPARE(litDots(s).size(), 1 + 40 + 10);
        // An overlay ends the stroke and takes every press for itself; a click
        // without moving draws nothing.
        widget.showOverlay(QImage(10, 10, QImage::Format_RGB32));
        QVERIFY(!widget.isDrawing());
        QSignalSpy clicked(&widget, &MorvoWidget::overlayClicked);
        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        moveWithButton(&widget, QPoint(200, 100));
        QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
        QCOMPARE(clicked.count(), 2);
        widget.hideOverlay();
        QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
        QCOMPARE(litDots(s).size(), 1 + 40 + 10);
    }
};

QTEST_MAIN(TestEdit)
#include "test_edit.moc"
