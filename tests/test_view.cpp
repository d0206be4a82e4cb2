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
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("widgetPos");
        QTest::addColumn<QPoint>("picturePos");
        QTest::newRow("half, 1.0: x doubles") << 0 << 0 << QSize(281, 192) << QPoint(140, 100) << QPoint(280, 100);
        QTest::newRow("half, 0.84") << 0 << 2 << QSize(237, 192) << QPoint(236, 191) << QPoint(561, 191);
        QTest::newRow("normal, 1.0") << 1 << 0 << QSize(562, 384) << QPoint(300, 383) << QPoint(300, 191);
        QTest::newRow("double, 1.0: negative positions truncate toward zero") << 2 << 0 << QSize(1124, 768) << QPoint(-3, -3) << QPoint(-1, 0);
        QTest::newRow("double, 0.84, past the last column") << 2 << 2 << QSize(948, 768) << QPoint(947, 767) << QPoint(563, 191);
        QTest::newRow("unknown size is normal, the position left") << 9 << 1 << QSize(506, 384) << QPoint(17, 33) << QPoint(18, 33);
        QTest::newRow("unknown aspect is 1.0") << 2 << 40000 << QSize(1124, 768) << QPoint(17, 33) << QPoint(8, 8);
    }

    void geometry()
    {
        QFETCH(int, screenSize);
        QFETCH(int, aspect);
        QFETCH(QSize, size);
        QFETCH(QPoint, widgetPos);
        QFETCH(QPoint, picturePos);
        QCOMPARE(mapToPicture(widgetPos, screenSize, aspect), picturePos);
        MorvoWidget widget;
        widget.state().screenSize = quint16(screenSize);
        widget.state().aspectCorrect = quint16(aspect);
        widget.refresh();
        QCOMPARE(widget.size(), size);
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
