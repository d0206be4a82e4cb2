// The picture browser with real key and mouse events, offscreen: it lists a
// disk image made by tools/make_disks.py, draws every thumbnail in the
// background with the view options it is given, and asks for pictures to be
// shown by Enter, a double-click and stepping.
#include "picturebrowser.h"
#include "pictureloader.h"
#include "render.h"
#include "testsupport.h"
#include "thumbnailmodel.h"

#include <QLabel>
#include <QListView>
#include <QtTest>

namespace {

QString disks(const QString &name) { return QStringLiteral(MORVO_DISKS_DIR "/") + name; }

// The thumbnail a picture file should have: its frame without the two spare
// columns, scaled to a quarter of the doubled screen.
QImage expectedThumbnail(const QString &file, const ViewOptions &options)
{
    PictureState state;
    state.viewOptions() = options;
    applyPictureFile(readPictureFile(disks("expected/" + file)), state);
    QImage frame;
    renderPicture(state, frame);
    return frame.copy(0, 0, 560, 192).scaled(140, 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

class TestBrowser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    // Every thumbnail is drawn in the background with the options given, and
    // drawn again when they change; a picture that cannot be read says why.
    void drawsThumbnailsWithTheOptions()
    {
        PictureBrowser browser;
        browser.resize(400, 300);
        browser.show();
        QVERIFY(browser.open(disks("prodos.po")));
        ThumbnailModel *model = browser.model();
        QCOMPARE(model->rowCount(), 12);
        QCOMPARE(browser.findChild<QLabel *>()->text(), QString("<b>prodos.po</b><br>ProDOS volume /PICS, 280 blocks, ProDOS order; "
                                                                 "12 pictures<br>FORKED: a file with two forks (FOT $4000), which is not read"));
        QTRY_COMPARE_WITH_TIMEOUT(model->drawnCount(), 12, 20000);
        const int deep = browser.catalog().indexOf("ART/DEEP/PIC");
        QCOMPARE(model->thumbnail(deep), expectedThumbnail("po_DEEP", ViewOptions()));
        const int bad = browser.catalog().indexOf("BADPACK");
        QVERIFY(model->thumbnail(bad).isNull() && model->error(bad).contains("does not unpack"));
        QVERIFY(model->data(model->index(bad), Qt::DisplayRole).toString().endsWith("cannot be read"));
        QCOMPARE(model->data(model->index(browser.catalog().indexOf("MODE.FOT")), Qt::DisplayRole).toString(),
                 QString("MODE.FOT\nFOT $0000 \u00B7 8,192 bytes\nmade for 140 x 192 colour"));

        ViewOptions amber;
        amber.bmFinalDepth = 1;
        amber.oneBitPalette = 2;
        QSignalSpy drawn(model, &ThumbnailModel::allDrawn);
        browser.setViewOptions(amber);
        QVERIFY(drawn.wait(20000));
        QCOMPARE(model->thumbnail(deep), expectedThumbnail("po_DEEP", amber));
        QCOMPARE(model->thumbnail(browser.catalog().indexOf("PACKED.DHGR")), expectedThumbnail("po_PACKED_DHGR", amber));
    }

    // Enter and a double-click ask for the picture under them; next() and
    // previous() step and ask, and stop at the ends; select() only selects.
    void activatesPictures()
    {
        PictureBrowser browser;
        browser.resize(400, 600);
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        QVERIFY(browser.open(disks("dos.dsk")));
        QSignalSpy shown(&browser, &PictureBrowser::pictureActivated);
        const auto last = [&] { return shown.constLast().at(0).value<PictureLocation>(); };
        QListView *view = browser.view();
        view->setFocus();
        QCOMPARE(browser.currentRow(), 0);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(shown.count(), 0);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(last(), PictureLocation({disks("dos.dsk"), "PIC2.PAGE2"}));

        const QRect fourth = view->visualRect(browser.model()->index(3));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, fourth.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, fourth.center());
        QCOMPARE(shown.count(), 2);
        QCOMPARE(last().innerPath, QString("HOLEY"));

        QVERIFY(browser.next());
        QCOMPARE(last().innerPath, QString("LOCKED PIC"));
        QVERIFY(!browser.next());
        QCOMPARE(shown.count(), 3);
        QVERIFY(browser.select({disks("dos.dsk"), "PIC1"}));
        QVERIFY(!browser.previous());
        QVERIFY(browser.next());
        QCOMPARE(last().innerPath, QString("PIC2.PAGE2"));
        QCOMPARE(shown.count(), 4);
        QVERIFY(!browser.select({disks("dos.dsk"), "GONE"}));
        QCOMPARE(browser.currentLocation(), PictureLocation({disks("dos.dsk"), "PIC2.PAGE2"}));
    }

    // An image that cannot be read lists nothing and says why.
    void refusesWhatItCannotRead()
    {
        PictureBrowser browser;
        QSignalSpy status(&browser, &PictureBrowser::statusMessage);
        QVERIFY(!browser.open(disks("damaged/random.dsk")));
        QCOMPARE(browser.model()->rowCount(), 0);
        QCOMPARE(status.count(), 1);
        QVERIFY(status.at(0).at(0).toString().contains("no DOS 3.3 catalog or ProDOS volume directory found"));
        QCOMPARE(browser.findChild<QLabel *>()->text(), status.at(0).at(0).toString().toHtmlEscaped());
        QVERIFY(!browser.next());
    }
};

QTEST_MAIN(TestBrowser)
#include "test_browser.moc"
