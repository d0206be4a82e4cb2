// The Import Image dialog driven by real mouse and key events: a slider
// dragged shows quick previews and then the finished picture; dragging the
// crop outline moves the crop; OK gives the bytes that the converter, and
// morvo-render --import, make from the same image and settings.
#include "cropview.h"
#include "imagefile.h"
#include "importdialog.h"
#include "pictureloader.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kWait = 20000;

} // namespace

class TestImportDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    void sliderDragShowsQuickThenFull()
    {
        ImportDialog dialog(testsupport::testCard(320, 240), ViewOptions());
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isReady(), kWait);
        const QImage before = dialog.previewFrame();
        QSignalSpy shown(&dialog, &ImportDialog::previewShown);
        QSlider *slider = dialog.brightnessSlider();
        const QPoint handle = slider->rect().center();
        QTest::mousePress(slider, Qt::LeftButton, {}, handle);
        for (int step = 1; step <= 6; ++step) {
            QTest::mouseMove(slider, handle + QPoint(10 * step, 0));
            QTest::qWait(30);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), kWait);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, handle + QPoint(60, 0));
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isReady(), kWait);
        QVERIFY(slider->value() > 0);
        QCOMPARE(dialog.settings().brightness, slider->value());
        QCOMPARE(shown.first().first().toBool(), false);
        QCOMPARE(shown.last().first().toBool(), true);
        QVERIFY(dialog.previewFrame() != before);
    }

    void cropOutlineDrags()
    {
        ImportDialog dialog(testsupport::testCard(480, 200), ViewOptions());
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isReady(), kWait);
        const QImage before = dialog.previewFrame();
        CropView *crop = dialog.cropView();
        const QPoint from = crop->outline().center().toPoint();
        QTest::mousePress(crop, Qt::LeftButton, {}, from);
        QTest::mouseMove(crop, from + QPoint(-200, 0));
        QTest::mouseRelease(crop, Qt::LeftButton, {}, from + QPoint(-200, 0));
        QCOMPARE(dialog.settings().cropX, -1.0);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isReady(), kWait);
        QVERIFY(dialog.previewFrame() != before);
    }

    // Settings chosen with the keyboard; OK clicked. The dialog's picture
    // is the converter's and the command line's, byte for byte.
    void okGivesTheConvertersBytes()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath(QStringLiteral("photo.png"));
        QVERIFY(testsupport::testCard(400, 260).save(photo));
        QImage image;
        QString error;
        QVERIFY(readImageFile(photo, image, error));
        ViewOptions view;
        view.jexEngine = false;
        ImportDialog dialog(image, view);
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isReady(), kWait);
        QTest::keyClick(dialog.targetBox(), Qt::Key_Down);      // HGR colour
        QTest::keyClick(dialog.fitBox(), Qt::Key_Down);         // fit with borders
        QTest::keyClick(dialog.contrastSlider(), Qt::Key_PageUp);
        QTest::keyClick(dialog.saturationSlider(), Qt::Key_PageDown);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isReady(), kWait);
        QPushButton *ok = dialog.buttons()->button(QDialogButtonBox::Ok);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.QDialog::result(), int(QDialog::Accepted));

        const ImportSettings s = dialog.settings();
        QCOMPARE(int(s.target), int(ImportTarget::HgrColour));
        QCOMPARE(int(s.fit), int(ImportFit::Fit));
        QCOMPARE(s.contrast, 10);
        QCOMPARE(s.saturation, -10);
        const PictureState &picture = dialog.picture();
        ImageImporter converter(image);
        const PictureState expected = converter.convert(s, view);
        QCOMPARE(picture.isDhgr, false);
        QCOMPARE(picture.mainMemory, expected.mainMemory);
        QVERIFY(picture.viewOptions() == expected.viewOptions());

        const QString saved = dir.filePath(QStringLiteral("photo.hgr"));
        const testsupport::Run run = testsupport::run(
            QStringLiteral("morvo-render"),
            {QStringLiteral("--import"), photo, QStringLiteral("--to"), QStringLiteral("hgr"), QStringLiteral("--fit"),
             QStringLiteral("fit"), QStringLiteral("--contrast"), QStringLiteral("10"), QStringLiteral("--saturation"),
             QStringLiteral("-10"), QStringLiteral("--engine"), QStringLiteral("book"), QStringLiteral("--save"), saved});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(testsupport::readFile(saved), pictureFileBytes(picture));
    }
};

QTEST_MAIN(TestImportDialog)
#include "test_importdialog.moc"
