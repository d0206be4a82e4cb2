// The picture widget as a user meets it: its size for every view choice,
// where a mouse position lands on the picture, what it paints, and pictures
// dropped on it.
#include "morvowidget.h"
#include "testsupport.h"
#include "viewgeometry.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage paintWidget(MorvoWidget &widget)
{
    QImage shot(widget.size(), QImage::Format_RGB32);
    shot.fill(Qt::magenta);
    widget.render(&shot);
    return shot;
}

void drop(MorvoWidget &widget, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &dropped);
}

} // namespace

class TestView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }
    void displaySizes_data();
    void displaySizes();
    void mapsToPicture_data();
    void mapsToPicture();
    void startsAsAnEmptyDhgrPicture();
    void loadReportsAndKeepsOldPictureOnFailure();
    void dropLoadsTheFirstLocalFile_data();
    void dropLoadsTheFirstLocalFile();
    void paintsSharpOnlyWithoutAspectCorrection();
    void overlayIsDrawnSharpAndLeavesThePicture();
};

void TestView::displaySizes_data()
{
    QTest::addColumn<int>("screenSize");
    QTest::addColumn<int>("aspect");
    QTest::addColumn<QSize>("size");
    const int widths[3][3] = {{281, 253, 237}, {562, 506, 474}, {1124, 1012, 948}};
    for (int size = 0; size < 3; ++size)
        for (int aspect = 0; aspect < 3; ++aspect)
            QTest::addRow("size %d, aspect %d", size, aspect)
                << size << aspect << QSize(widths[size][aspect], 192 << size);
    QTest::newRow("unknown size is normal") << 9 << 1 << QSize(506, 384);
    QTest::newRow("unknown aspect is 1.0") << 2 << 40000 << QSize(1124, 768);
}

void TestView::displaySizes()
{
    QFETCH(int, screenSize);
    QFETCH(int, aspect);
    QFETCH(QSize, size);
    QCOMPARE(displaySize(screenSize, aspect), size);
    MorvoWidget widget;
    widget.state().screenSize = quint16(screenSize);
    widget.state().aspectCorrect = quint16(aspect);
    widget.refresh();
    QCOMPARE(widget.size(), size);
}

void TestView::mapsToPicture_data()
{
    QTest::addColumn<int>("screenSize");
    QTest::addColumn<int>("aspect");
    QTest::addColumn<QPoint>("widgetPos");
    QTest::addColumn<QPoint>("picturePos");
    QTest::newRow("double, 0.9") << 2 << 1 << QPoint(100, 50) << QPoint(55, 12);
    QTest::newRow("normal, 1.0") << 1 << 0 << QPoint(300, 383) << QPoint(300, 191);
    QTest::newRow("half doubles x") << 0 << 0 << QPoint(140, 100) << QPoint(280, 100);
    QTest::newRow("DV aspect reaches past the last column") << 1 << 2 << QPoint(473, 0) << QPoint(563, 0);
    QTest::newRow("negative positions truncate toward zero") << 2 << 0 << QPoint(-3, -3) << QPoint(-1, 0);
    QTest::newRow("unknown size leaves the position") << 5 << 0 << QPoint(17, 33) << QPoint(17, 33);
}

void TestView::mapsToPicture()
{
    QFETCH(int, screenSize);
    QFETCH(int, aspect);
    QFETCH(QPoint, widgetPos);
    QFETCH(QPoint, picturePos);
    QCOMPARE(mapToPicture(widgetPos, screenSize, aspect), picturePos);
}

void TestView::startsAsAnEmptyDhgrPicture()
{
    MorvoWidget widget;
    const PictureState &s = widget.state();
    QVERIFY(s.isDhgr && s.jexEngine && s.bitShifting);
    QCOMPARE(QList<int>({s.bmFinalDepth, s.paletteType, s.schemeType}), QList<int>({8, 2, 1}));
    QCOMPARE(widget.image().size(), QSize(562, 192));
    QCOMPARE(widget.size(), QSize(562, 384));
}

void TestView::loadReportsAndKeepsOldPictureOnFailure()
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.hgr"));
    const QString bad = dir.filePath(QStringLiteral("bad.hgr"));
    QVERIFY(testsupport::writeFile(good, QByteArray(8192, '\x7F')));
    QVERIFY(testsupport::writeFile(bad, QByteArray(100, '\x01')));

    MorvoWidget widget;
    QSignalSpy messages(&widget, &MorvoWidget::statusMessage);
    QVERIFY(widget.loadPicture(good));
    QCOMPARE(messages.takeFirst().at(0).toString(), QStringLiteral("Loaded: ") + good);
    QVERIFY(!widget.state().isDhgr);
    const QImage before = widget.image();
    QCOMPARE(testsupport::rgbAt(before, 20, 0), 0xFFFFFFu);

    QVERIFY(!widget.loadPicture(bad));
    const QString reason = messages.takeFirst().at(0).toString();
    QVERIFY2(reason.contains(bad) && reason.contains(QLatin1String("100")), qPrintable(reason));
    QCOMPARE(widget.image(), before);
    QCOMPARE(widget.state().mainMemory[0], uchar(0x7F));
}

void TestView::dropLoadsTheFirstLocalFile_data()
{
    QTest::addColumn<QStringList>("urls");  // "FILE" stands for the picture
    QTest::addColumn<bool>("loads");
    QTest::newRow("local picture") << QStringList{"FILE"} << true;
    QTest::newRow("web address first, then the picture") << QStringList{"https://example.org/pic.hgr", "FILE"} << true;
    QTest::newRow("web address alone") << QStringList{"https://example.org/pic.hgr"} << false;
    QTest::newRow("local file of 100 bytes") << QStringList{"SMALL"} << false;
}

void TestView::dropLoadsTheFirstLocalFile()
{
    QFETCH(QStringList, urls);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("drop.dgr"));
    const QString small = dir.filePath(QStringLiteral("small.hgr"));
    QVERIFY(testsupport::writeFile(picture, QByteArray(16384, '\x01')));
    QVERIFY(testsupport::writeFile(small, QByteArray(100, '\x01')));
    QList<QUrl> list;
    for (const QString &u : urls)
        list << (u == QLatin1String("FILE") ? QUrl::fromLocalFile(picture)
                 : u == QLatin1String("SMALL") ? QUrl::fromLocalFile(small) : QUrl(u));

    MorvoWidget widget;
    QSignalSpy messages(&widget, &MorvoWidget::statusMessage);
    drop(widget, list);
    QCOMPARE(widget.state().auxMemory[0] == 1, loads);
    if (loads)
        QCOMPARE(messages.last().at(0).toString(), QStringLiteral("Loaded: ") + picture);
}

void TestView::paintsSharpOnlyWithoutAspectCorrection()
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
        const QImage shot = paintWidget(widget);
        bool midTone = false;
        for (int x = 0; x < 14; ++x) {
            const int g = qGray(shot.pixel(x, 1));
            midTone = midTone || (g > 40 && g < 215);
            // Unsmoothed, each frame column is one widget column and each
            // frame row two widget rows.
            if (aspect == 0)
                QCOMPARE(g > 128, (x / 2) % 2 == 1 && x < 12);
        }
        QCOMPARE(midTone, aspect != 0);
    }
}

void TestView::overlayIsDrawnSharpAndLeavesThePicture()
{
    MorvoWidget widget;
    widget.state().aspectCorrect = 2;
    widget.refresh();
    const QImage picture = widget.image();
    QImage overlay(2, 1, QImage::Format_RGB32);
    overlay.setPixel(0, 0, qRgb(255, 0, 0));
    overlay.setPixel(1, 0, qRgb(0, 0, 255));
    widget.showOverlay(overlay);
    QVERIFY(widget.overlayVisible());
    QImage shot = paintWidget(widget);
    const int w = widget.width();
    QCOMPARE(shot.pixel(w / 2 - 2, 10) & 0xFFFFFF, 0xFF0000u);
    QCOMPARE(shot.pixel(w / 2 + 1, 10) & 0xFFFFFF, 0x0000FFu);
    QCOMPARE(widget.image(), picture);

    widget.hideOverlay();
    QVERIFY(!widget.overlayVisible());
    shot = paintWidget(widget);
    QCOMPARE(shot.pixel(w / 2, 10) & 0xFFFFFF, 0u);
}

QTEST_MAIN(TestView)
#include "test_view.moc"
