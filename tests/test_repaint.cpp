// The picture widget repaints only the part of itself that shows changed
// frame pixels; what the window then holds must be exactly what painting the
// whole widget afresh gives.
#include "morvowidget.h"
#include "testsupport.h"

#include <QBackingStore>
#include <QPaintEvent>
#include <QtTest>

namespace {

// Adds up the area of the paint events of the widget it watches.
struct PaintedArea : QObject {
    qint64 pixels = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const QRect r = static_cast<QPaintEvent *>(event)->rect();
            pixels += qint64(r.width()) * r.height();
        }
        return false;
    }
};

} // namespace

class TestRepaint : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    void strokeRepaintsOnlyWhatChanged_data()
    {
        QTest::addColumn<int>("screenSize");
        QTest::addColumn<int>("aspect");
        QTest::addColumn<QString>("engine");
        QTest::addColumn<double>("zoom");  // with the dot grid
        QTest::newRow("double, standard aspect, Jex: Double") << 2 << 1 << "Jex: Double" << 1.0;
        QTest::newRow("half, DV aspect, By the Book") << 0 << 2 << "By the Book" << 1.0;
        QTest::newRow("normal, no correction, monochrome") << 1 << 0 << "monochrome" << 1.0;
        QTest::newRow("half zoomed to four times, dot grid, By the Book") << 0 << 0 << "By the Book" << 8.0;
    }

    void strokeRepaintsOnlyWhatChanged()
    {
        QFETCH(int, screenSize);
        QFETCH(int, aspect);
        QFETCH(QString, engine);
        QFETCH(double, zoom);
        MorvoWidget widget;
        PictureState &s = widget.state();
        QRandomGenerator rng(5);
        testsupport::fillRandom(s.auxMemory, rng, 1);
        testsupport::fillRandom(s.mainMemory, rng, 1);
        s.screenSize = quint16(screenSize);
        s.aspectCorrect = quint16(aspect);
        s.jexEngine = engine.startsWith("Jex");
        s.bmFinalDepth = engine == "monochrome" ? 1 : 8;
        widget.refresh();
        widget.setZoom(zoom);
        widget.setDotGrid(true);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QApplication::processEvents();

        PaintedArea painted;
        widget.installEventFilter(&painted);
        const QPoint from(widget.width() / 3, widget.height() / 3);
        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(9, 5)), widget.mapToGlobal(QPointF(from + QPoint(9, 5))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &move);
        QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, from + QPoint(9, 5));
        QApplication::processEvents();
        QVERIFY(painted.pixels > 0 && painted.pixels < qint64(widget.width()) * widget.height() / 4);

        // A new widget with the same picture paints everything afresh.
        MorvoWidget fresh;
        fresh.state() = widget.state();
        fresh.refresh();
        fresh.setZoom(zoom);
        fresh.setDotGrid(true);
        const auto *window = dynamic_cast<QImage *>(widget.backingStore()->paintDevice());
        QVERIFY(window);
        const QImage held = window->copy(widget.rect()).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(held, fresh.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(TestRepaint)
#include "test_repaint.moc"
