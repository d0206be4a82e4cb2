// The tools through real mouse events on the picture widget zoomed in a
// scroll area: what they draw lies under the pointer, the widget tells of
// each step, and the view zooms around the pointer.
#include "morvowidget.h"
#include "pictureview.h"
#include "testsupport.h"
#include "viewgeometry.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using testsupport::dotLit;

namespace {

void moveWithButton(QWidget *widget, QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QList<QPoint> litDots(const PictureState &s)
{
    QList<QPoint> lit;
    for (int y = 0; y < kScanLines; ++y)
        for (int x = 0; x < kDhgrDots; ++x)
            if (dotLit(s, x, y))
                lit << QPoint(x, y);
    return lit;
}

// A picture widget at eight times normal size in a scroll area, monochrome
// and drawing single dots, scrolled to the middle.
struct ZoomedView {
    MorvoWidget *picture = new MorvoWidget;
    PictureView view{picture};

    explicit ZoomedView(int aspect = 0)
    {
        PictureState &s = picture->state();
        s.bmFinalDepth = 1;
        s.is560Mode = true;
        s.dhgrColumnOffset = 1;
        s.aspectCorrect = quint16(aspect);
        picture->refresh();
        picture->setZoom(8);
        view.resize(640, 480);
        view.show();
        view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    }

    // A widget point inside what the viewport shows.
    QPoint shown(int x, int y) const { return picture->mapFrom(view.viewport(), QPoint(x, y)); }
};

} // namespace

class TestPaint : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    // A pencil press and a move that stays put draw the one dot under the
    // pointer: painted exactly over the pixels around it.
    void pencilUnderPointer_data()
    {
        QTest::addColumn<QPoint>("at");  // in the viewport
        QTest::newRow("middle") << QPoint(320, 240);
        QTest::newRow("a dot's first pixel column") << QPoint(8 * 40 + 3, 100);
        QTest::newRow("a dot's last pixel") << QPoint(8 * 41 + 2, 15 * 16 + 15);
    }

    void pencilUnderPointer()
    {
        QFETCH(QPoint, at);
        ZoomedView zoomed;
        QVERIFY(QTest::qWaitForWindowExposed(&zoomed.view));
        MorvoWidget *picture = zoomed.picture;
        const QPoint p = zoomed.shown(at.x(), at.y());
        QSignalSpy finished(picture, &MorvoWidget::changeFinished);
        QTest::mousePress(picture, Qt::LeftButton, Qt::NoModifier, p);
        moveWithButton(picture, p);
        QTest::mouseRelease(picture, Qt::LeftButton, Qt::NoModifier, p);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toString(), "Stroke");
        const QList<QPoint> lit = litDots(picture->state());
        QCOMPARE(lit.size(), 1);
        QCOMPARE(lit.first(), picture->mapToPicture(p));
        // What the window shows: the lit dot's pixels, eight by sixteen,
        // and the pointer's pixel among them.
        const QImage shot = zoomed.view.viewport()->grab().toImage();
        QRect bright;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (qGray(shot.pixel(x, y)) > 128)
                    bright |= QRect(x, y, 1, 1);
        QCOMPARE(bright.size(), QSize(8, 16));
        QVERIFY(bright.contains(at));
    }

    // The shapes follow the pointer while dragging, each move drawn anew
    // over the picture as the press left it; one step from press to release.
    void shapesDragged_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("step");
        QTest::newRow("line") << int(Tool::Line) << "Line";
        QTest::newRow("rectangle") << int(Tool::Rectangle) << "Rectangle";
        QTest::newRow("filled rectangle") << int(Tool::FilledRectangle) << "Filled Rectangle";
    }

    void shapesDragged()
    {
        QFETCH(int, tool);
        QFETCH(QString, step);
        ZoomedView zoomed;
        MorvoWidget *picture = zoomed.picture;
        picture->setTool(Tool(tool));
        QSignalSpy starting(picture, &MorvoWidget::changeStarting);
        QSignalSpy finished(picture, &MorvoWidget::changeFinished);
        const QPoint from = zoomed.shown(100, 100), by = zoomed.shown(600, 50), to = zoomed.shown(300, 400);
        QTest::mousePress(picture, Qt::LeftButton, Qt::NoModifier, from);
        moveWithButton(picture, by);
        moveWithButton(picture, to);
        QTest::mouseRelease(picture, Qt::LeftButton, Qt::NoModifier, to);
        QCOMPARE(starting.count(), 1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toString(), step);
        PictureState expected;
        expected.is560Mode = true;
        shapeDrawing(Tool(tool))(expected, picture->mapToPicture(from), picture->mapToPicture(to), 15);
        QCOMPARE(litDots(picture->state()), litDots(expected));
    }

    // The step signal comes before anything changes (an HGR picture is still
    // HGR); the eyedropper changes nothing and picks what is under it.
    void stepSignals()
    {
        MorvoWidget picture;
        PictureState &s = picture.state();
        s.isDhgr = false;
        s.mainMemory[0] = 0x7F;
        picture.refresh();
        picture.setPencilColor(9);
        QList<bool> dhgrAtStart;
        connect(&picture, &MorvoWidget::changeStarting, [&] { dhgrAtStart << s.isDhgr; });
        QSignalSpy picked(&picture, &MorvoWidget::colorPicked);
        QSignalSpy readout(&picture, &MorvoWidget::pointerReadout);
        picture.setTool(Tool::Eyedropper);
        QTest::mouseClick(&picture, Qt::LeftButton, Qt::NoModifier, QPoint(10, 0));
        moveWithButton(&picture, QPoint(10, 0), Qt::NoButton);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.first().first().toInt(), 15);
        QVERIFY(dhgrAtStart.isEmpty());
        QCOMPARE(readout.last().first().toString(), "x 5  y 0  $2000 main = $7F  colour 15");
        picture.setTool(Tool::Fill);
        QSignalSpy finished(&picture, &MorvoWidget::changeFinished);
        QTest::mouseClick(&picture, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QCOMPARE(dhgrAtStart, QList<bool>{false});
        QCOMPARE(finished.first().first().toString(), "Fill");
        QVERIFY(s.isDhgr);
        QCOMPARE(colorSeenAt(s, QPoint(300, 100)), 9);
        // Another tool chosen in the middle of a line ends the line.
        picture.setTool(Tool::Line);
        QTest::mousePress(&picture, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        picture.setTool(Tool::Pencil);
        QCOMPARE(finished.last().first().toString(), "Line");
        QVERIFY(!picture.isDrawing());
    }

    void dotGrid_data()
    {
        QTest::addColumn<int>("screenSize");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("shown");
        QTest::newRow("three times normal") << 1 << 3.0 << false;
        QTest::newRow("four times normal") << 1 << 4.0 << true;
        QTest::newRow("double size zoomed twice") << 2 << 2.0 << true;
    }

    void dotGrid()
    {
        QFETCH(int, screenSize);
        QFETCH(double, zoom);
        QFETCH(bool, shown);
        MorvoWidget picture;
        picture.state().screenSize = quint16(screenSize);
        picture.refresh();
        picture.setZoom(zoom);
        const QImage plain = picture.grab(QRect(0, 0, 64, 64)).toImage();
        picture.setDotGrid(true);
        QCOMPARE(picture.grab(QRect(0, 0, 64, 64)).toImage() != plain, shown);
    }

    // Ctrl with the wheel zooms a step a notch, keeping the dot under the
    // pointer; Fit to Window shows the whole picture as large as it goes.
    void zoomAroundPointer()
    {
        MorvoWidget *picture = new MorvoWidget;
        PictureView view(picture);
        view.resize(600, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        picture->setZoom(2);
        const QPoint at(150, 120);
        const auto dotUnder = [&] { return picture->mapToPicture(at - picture->pos()); };
        const QPoint dot = dotUnder();
        const QList<double> steps{3, 4, 6, 8, 6};
        for (const double zoom : steps) {
            const int angle = zoom > picture->zoom() ? 120 : -120;
            QWheelEvent wheel(QPointF(at), view.viewport()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, angle),
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view.viewport(), &wheel);
            QCOMPARE(picture->zoom(), zoom);
            QCOMPARE(dotUnder(), dot);
        }
        view.fitToWindow();
        const QSize room = view.maximumViewportSize();
        QVERIFY(picture->width() <= room.width() && picture->height() <= room.height());
        QVERIFY(picture->width() >= room.width() - 1 || picture->height() >= room.height() - 1);
        QCOMPARE(picture->pos(), QPoint((room.width() - picture->width()) / 2, (room.height() - picture->height()) / 2));
    }
};

QTEST_MAIN(TestPaint)
#include "test_paint.moc"
