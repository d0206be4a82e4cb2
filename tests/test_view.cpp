// The picture widget as a user meets it: its size for every view choice,
// where a mouse position lands on the picture, what it paints, and pictures
// loaded or dropped on it.
#include "morvowidget.h"
#include "testsupport.h"
#include "viewgeometry.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    void geometry_data()
    {
        QTest::addColumn<int>("screenSize");  // half, normal, double
        QTest::addColumn<int>("aspect");      // 1.0, 0.9, 0.84
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QSize>("size");
        QTest::newRow("half, 1.0") << 0 << 0 << 1.0 << QSize(281, 192);
        QTest::newRow("half, 0.84") << 0 << 2 << 1.0 << QSize(237, 192);
        QTest::newRow("normal, 1.0") << 1 << 0 << 1.0 << QSize(562, 384);
        QTest::newRow("normal, 1.0, zoom 1.5") << 1 << 0 << 1.5 << QSize(843, 576);
        QTest::newRow("normal, 0.9, zoom 3") << 1 << 1 << 3.0 << QSize(1518, 1152);
        QTest::newRow("double, 0.84") << 2 << 2 << 1.0 << QSize(948, 768);
        QTest::newRow("double, 1.0, zoom 4: eight times") << 2 << 0 << 4.0 << QSize(4496, 3072);
        QTest::newRow("double: zoom beyond eight times is held there") << 2 << 1 << 8.0 << QSize(4048, 3072);
        QTest::newRow("half, 0.9, zoom 16: eight times") << 0 << 1 << 16.0 << QSize(4048, 3072);
        QTest::newRow("unknown size is normal") << 9 << 1 << 1.0 << QSize(506, 384);
        QTest::newRow("unknown aspect is 1.0") << 2 << 40000 << 1.0 << QSize(1124, 768);
    }

    // The widget takes the size; every frame column and row owns the widget
    // pixels whose centres fall in it, side by side over the whole widget,
    // and each of them maps back to it. Unsmoothed, the painter shows exactly
    // that column and row there.
    void geometry()
    {
        QFETCH(int, screenSize);
        QFETCH(int, aspect);
        QFETCH(double, zoom);
        QFETCH(QSize, size);
        const ViewGeometry view(screenSize, aspect, zoom);
        QCOMPARE(view.widgetSize(), size);
        int nextX = 0;
        for (int column = 0; column < kFrameWidth; ++column) {
            const QRect r = view.widgetRect(QRect(column, 0, 1, 1));
            if (r.isEmpty())
                continue;  // too narrow a view to show it
            QCOMPARE(r.left(), nextX);
            QCOMPARE(view.frameAt(QPointF(r.left(), r.top())), QPoint(column, 0));
            QCOMPARE(view.frameAt(QPointF(r.right() + 0.9, r.bottom() + 0.9)), QPoint(column, 0));
            nextX = r.right() + 1;
        }
        QCOMPARE(nextX, size.width());
        int nextY = 0;
        for (int row = 0; row < kFrameHeight; ++row) {
            const QRect r = view.widgetRect(QRect(0, row, kFrameWidth, 1));
            QCOMPARE(r.top(), nextY);
            QCOMPARE(view.frameAt(QPointF(r.left(), r.bottom())).y(), row);
            nextY = r.bottom() + 1;
        }
        QCOMPARE(nextY, size.height());
        // Left of and above the widget lie columns and rows before the frame's.
        const QPoint off = view.frameAt(QPointF(-0.5, -0.5));
        QVERIFY(off.x() < 0 && off.y() < 0);

        MorvoWidget widget;
        widget.state().screenSize = quint16(screenSize);
        widget.state().aspectCorrect = quint16(aspect);
        widget.refresh();
        widget.setZoom(zoom);
        QCOMPARE(widget.size(), size);
        if (aspect != 0 || size.width() > 1200)
            return;
        // Column and row coded in the overlay's pixels.
        QImage coded(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
        for (int y = 0; y < kFrameHeight; ++y)
            for (int x = 0; x < kFrameWidth; ++x)
                coded.setPixel(x, y, qRgb(x & 0xFF, x >> 8, y));
        widget.showOverlay(coded);
        const QImage shot = widget.grab().toImage();
        for (int y = 0; y < size.height(); y += 3)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb p = shot.pixel(x, y);
                QCOMPARE(QPoint(qRed(p) | (qGreen(p) << 8), qBlue(p)), view.frameAt(QPointF(x, y)));
            }
    }

    // A new widget shows the empty DHGR picture. A drop hands on the first
    // local file among its addresses; one that does not load leaves the
    // picture shown.
    void loadAndDrop()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath("good.hgr"), bad = dir.filePath("bad.hgr");
        QVERIFY(testsupport::writeFile(good, QByteArray(8192, '\x7F')) && testsupport::writeFile(bad, QByteArray(100, '\x01')));
        MorvoWidget widget;
        QVERIFY(widget.state().isDhgr);
        QSignalSpy messages(&widget, &MorvoWidget::statusMessage);
        QVERIFY(widget.loadPicture(good) && !widget.state().isDhgr);
        QCOMPARE(messages.takeFirst().at(0).toString(), "Loaded: " + good);
        QVERIFY(!widget.loadPicture(bad));
        QCOMPARE(widget.state().mainMemory[0], 0x7F);
        QSignalSpy dropped(&widget, &MorvoWidget::fileDropped);
        const auto drop = [&](const QList<QUrl> &urls) {
            QMimeData data;
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&widget, &enter);
            QApplication::sendEvent(&widget, &event);
            return enter.isAccepted() && !dropped.isEmpty() ? dropped.takeFirst().at(0).toString() : QString();
        };
        const QUrl web("https://example.org/pic.hgr");
        QCOMPARE(drop({web}), QString());
        QCOMPARE(drop({web, QUrl::fromLocalFile(dir.filePath("drop.dgr"))}), dir.filePath("drop.dgr"));
    }

    // The frame is painted pixel sharp without aspect correction and smoothed
    // with it; an overlay is always stretched sharp over the whole widget.
    void painting()
    {
        MorvoWidget widget;
        PictureState &s = widget.state();
        s.isDhgr = false;
        s.jexEngine = false;
        s.bmFinalDepth = 1;
        s.mainMemory[0] = 0x2A;  // white dots 1, 3 and 5: columns 2-3, 6-7, 10-11
        for (int aspect : {0, 1, 2}) {
            s.aspectCorrect = quint16(aspect);
            widget.refresh();
            const QImage shot = widget.grab().toImage();
            bool midTone = false;
            for (int x = 0; x < 14; ++x) {
                const int g = qGray(shot.pixel(x, 1));
                midTone = midTone || (g > 40 && g < 215);
                QVERIFY(aspect != 0 || (g > 128) == ((x / 2) % 2 == 1 && x < 12));  // one widget column per frame column
            }
            QCOMPARE(midTone, aspect != 0);
        }
        QImage overlay(2, 1, QImage::Format_RGB32);
        overlay.setPixel(0, 0, qRgb(255, 0, 0));
        overlay.setPixel(1, 0, qRgb(0, 0, 255));
        widget.showOverlay(overlay);
        const int w = widget.width();
        const QImage shot = widget.grab().toImage();
        QCOMPARE(shot.pixel(w / 2 - 2, 10) & 0xFFFFFF, 0xFF0000u);
        QCOMPARE(shot.pixel(w / 2 + 1, 10) & 0xFFFFFF, 0x0000FFu);
        widget.hideOverlay();
        QCOMPARE(widget.grab().toImage().pixel(w / 2, 10) & 0xFFFFFF, 0u);
    }
};

QTEST_MAIN(TestView)
#include "test_view.moc"
