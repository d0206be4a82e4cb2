// Images into picture memory: the column model against the renderer, the
// framing, the colour adjustments, what the bytes may hold, bad files, and
// the same settings giving the same bytes.
#include "adjustments.h"
#include "colourspace.h"
#include "columnmodel.h"
#include "dotrefiner.h"
#include "framing.h"
#include "imagefile.h"
#include "imageimporter.h"
#include "plaindither.h"
#include "render.h"
#include "testsupport.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ViewOptions engine(bool jex, int variant, bool shifting, int offset, bool mono)
{
    ViewOptions v;
    v.jexEngine = jex;
    v.schemeType = quint16(variant);
    v.bitShifting = shifting;
    v.dhgrColumnOffset = qint16(offset);
    v.bmFinalDepth = mono ? 1 : 8;
    v.oneBitPalette = 1;
    return v;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void appendWord(QByteArray &bytes, quint32 v)
{
    for (int s = 24; s >= 0; s -= 8)
        bytes.append(char(v >> s));
}

void appendChunk(QByteArray &png, const QByteArray &type, const QByteArray &data)
{
    appendWord(png, quint32(data.size()));
    png.append(type + data);
    appendWord(png, crc32(type + data));
}

// A PNG whose header promises width x height pixels, followed by a few
// bytes of picture data that hold far fewer.
QByteArray pngPromising(quint32 width, quint32 height)
{
    QByteArray header;
    appendWord(header, width);
    appendWord(header, height);
    header.append("\x08\x02\x00\x00\x00", 5);
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", QByteArray("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9));
    appendChunk(png, "IEND", QByteArray());
    return png;
}

QRgb pixelOf(const LinearImage &image, int x, int y) { return rgbOf(image.at(x, y)); }

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The table read off the renderer foretells every column of every frame.
    void modelForetellsTheFrame_data()
    {
        QTest::addColumn<ViewOptions>("view");
        QTest::addColumn<bool>("dhgr");
        for (bool dhgr : {true, false}) {
            const QString kind = dhgr ? QStringLiteral("DHGR ") : QStringLiteral("HGR ");
            QTest::newRow(qPrintable(kind + "Jex: Venderoft")) << engine(true, 0, true, 0, false) << dhgr;
            QTest::newRow(qPrintable(kind + "Jex: Double")) << engine(true, 1, true, 0, false) << dhgr;
            QTest::newRow(qPrintable(kind + "Jex: Sharp")) << engine(true, 2, true, 0, false) << dhgr;
            QTest::newRow(qPrintable(kind + "By the Book")) << engine(false, 1, true, 0, false) << dhgr;
            QTest::newRow(qPrintable(kind + "By the Book, no shifting, offset 1")) << engine(false, 1, false, 1, false) << dhgr;
            QTest::newRow(qPrintable(kind + "Jex monochrome")) << engine(true, 1, true, 0, true) << dhgr;
            QTest::newRow(qPrintable(kind + "By the Book monochrome")) << engine(false, 1, true, 0, true) << dhgr;
        }
    }

    void modelForetellsTheFrame()
    {
        QFETCH(ViewOptions, view);
        QFETCH(bool, dhgr);
        const ColumnModel model(view, dhgr);
        PictureState picture;
        picture.viewOptions() = view;
        picture.isDhgr = dhgr;
        QRandomGenerator rng(99);
        for (int density : {0, 2}) {
            testsupport::fillRandom(picture.mainMemory, rng, density);
            testsupport::fillRandom(picture.auxMemory, rng, density);
            QImage frame;
            renderPicture(picture, frame);
            PictureDots dots(dhgr);
            dots.read(picture);
            QCOMPARE(model.predictFrame(dots), frame);
        }
    }

    // Each sweep lowers the error it judges by, and the error it keeps up
    // to date change by change is the one a fresh look at the dots finds.
    void lookAheadKeepsItsBooks_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("jex");
        QTest::newRow("DHGR, Jex: Double") << int(ImportTarget::DhgrColour) << true;
        QTest::newRow("HGR, By the Book") << int(ImportTarget::HgrColour) << false;
        QTest::newRow("HGR mono") << int(ImportTarget::HgrMono) << true;
    }

    void lookAheadKeepsItsBooks()
    {
        QFETCH(int, target);
        QFETCH(bool, jex);
        ImportSettings s;
        s.target = ImportTarget(target);
        ViewOptions user;
        user.jexEngine = jex;
        const ViewOptions view = ImageImporter::viewFor(user, s.target);
        ImageImporter importer(testsupport::testCard(320, 240));
        const LinearImage &screen = importer.screenImage(s, user);
        PictureDots dots = ditherPlain(screen, s.target, ImportDither::FloydSteinberg, view);
        const ColumnModel model(view, s.isDhgr());
        DotRefiner refiner(model, screen, dots, s.target == ImportTarget::HgrColour);
        double before = refiner.cost();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(refiner.sweep(i == 0) > 0);
            const double after = refiner.cost();
            QVERIFY2(after < before, qPrintable(QStringLiteral("%1 then %2").arg(before).arg(after)));
            before = after;
        }
        PictureDots copy = dots;
        const DotRefiner fresh(model, screen, copy, false);
        QVERIFY(qAbs(fresh.cost() - refiner.cost()) < 1e-3 * refiner.cost());
    }

    void framing_data()
    {
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<int>("fit");
        QTest::addColumn<double>("cropX");
        QTest::addColumn<double>("cropY");
        QTest::addColumn<QRectF>("source");
        QTest::addColumn<QRectF>("screen");
        const QRectF whole(0, 0, 1, 1);
        const int crop = int(ImportFit::Crop), fit = int(ImportFit::Fit), stretch = int(ImportFit::Stretch);
        QTest::newRow("wide, centred crop") << QSizeF(1600, 900) << crop << 0.0 << 0.0 << QRectF(200, 0, 1200, 900) << whole;
        QTest::newRow("wide, crop at the left") << QSizeF(1600, 900) << crop << -1.0 << 0.0 << QRectF(0, 0, 1200, 900) << whole;
        QTest::newRow("wide, crop at the right") << QSizeF(1600, 900) << crop << 1.0 << 1.0 << QRectF(400, 0, 1200, 900) << whole;
        QTest::newRow("tall, crop three quarters down") << QSizeF(600, 1000) << crop << 0.0 << 0.5 << QRectF(0, 412.5, 600, 450) << whole;
        QTest::newRow("4:3 needs no crop") << QSizeF(800, 600) << crop << 1.0 << 1.0 << QRectF(0, 0, 800, 600) << whole;
        QTest::newRow("wide, fit: borders above and below") << QSizeF(1600, 900) << fit << 0.0 << 0.0 << QRectF(0, 0, 1600, 900)
                                                             << QRectF(0, 0.125, 1, 0.75);
        QTest::newRow("tall, fit: borders at the sides") << QSizeF(300, 400) << fit << 0.0 << 0.0 << QRectF(0, 0, 300, 400)
                                                          << QRectF(0.21875, 0, 0.5625, 1);
        QTest::newRow("stretch") << QSizeF(1600, 900) << stretch << 1.0 << 0.0 << QRectF(0, 0, 1600, 900) << whole;
    }

    void framing()
    {
        QFETCH(QSizeF, image);
        QFETCH(int, fit);
        QFETCH(double, cropX);
        QFETCH(double, cropY);
        QFETCH(QRectF, source);
        QFETCH(QRectF, screen);
        const Framing f = frameFor(image, ImportFit(fit), cropX, cropY);
        QCOMPARE(f.source, source);
        QCOMPARE(f.screen, screen);
    }

    // Fitting a 2:1 image leaves black bands of a sixth of the height above
    // and below (32 scan lines each); the image between them is its own colour, averaged.
    void resamplesInsideTheBorders()
    {
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(QColor(200, 100, 50));
        const SourceImage source(image);
        const Framing f = frameFor(source.size(), ImportFit::Fit, 0, 0);
        const LinearImage screen = resampleToScreen(source.linear(), f, source.scale());
        QCOMPARE(pixelOf(screen, 300, 95), qRgb(200, 100, 50));
        QCOMPARE(pixelOf(screen, 0, 0), qRgb(0, 0, 0));
        QCOMPARE(pixelOf(screen, 559, 191), qRgb(0, 0, 0));
        QCOMPARE(screenArea(f.screen, 560, 192), QRect(0, 32, 560, 128));

        // An image thousands of times as tall as it is wide, stretched.
        QImage thin(2, 60000, QImage::Format_RGB32);
        thin.fill(QColor(200, 100, 50));
        const SourceImage tall(thin);
        const LinearImage stretched = resampleToScreen(tall.linear(), frameFor(tall.size(), ImportFit::Stretch, 0, 0), tall.scale());
        QCOMPARE(pixelOf(stretched, 559, 191), qRgb(200, 100, 50));
    }

    void adjustments_data()
    {
        QTest::addColumn<QColor>("in");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("contrast");
        QTest::addColumn<int>("saturation");
        QTest::addColumn<double>("gamma");
        QTest::addColumn<QColor>("out");
        QTest::newRow("none") << QColor(10, 120, 240) << 0 << 0 << 0 << 1.0 << QColor(10, 120, 240);
        QTest::newRow("brightness +100 lifts by half") << QColor(0, 64, 128) << 100 << 0 << 0 << 1.0 << QColor(128, 192, 255);
        QTest::newRow("contrast -100: all middle grey") << QColor(10, 120, 240) << 0 << -100 << 0 << 1.0 << QColor(128, 128, 128);
        QTest::newRow("contrast +100 doubles the distance from grey") << QColor(96, 128, 160) << 0 << 100 << 0 << 1.0 << QColor(64, 128, 192);
        QTest::newRow("saturation -100: grey of the same lightness") << QColor(255, 0, 0) << 0 << 0 << -100 << 1.0 << QColor(54, 54, 54);
        QTest::newRow("gamma 2 lifts a quarter to a half") << QColor(64, 64, 64) << 0 << 0 << 0 << 2.0 << QColor(128, 128, 128);
    }

    void adjustments()
    {
        QFETCH(QColor, in);
        QFETCH(int, brightness);
        QFETCH(int, contrast);
        QFETCH(int, saturation);
        QFETCH(double, gamma);
        QFETCH(QColor, out);
        LinearImage image(2, 1);
        image.at(0, 0) = image.at(1, 0) = linearOf(in.rgb());
        ImportSettings s;
        s.brightness = brightness;
        s.contrast = contrast;
        s.saturation = saturation;
        s.gamma = gamma;
        adjustColours(image, s, QRect(0, 0, 1, 1));
        const QColor got = QColor(pixelOf(image, 0, 0));
        QVERIFY2(std::abs(got.red() - out.red()) <= 1 && std::abs(got.green() - out.green()) <= 1
                     && std::abs(got.blue() - out.blue()) <= 1,
                 qPrintable(got.name()));
        QCOMPARE(pixelOf(image, 1, 0), qRgb(0, 0, 0));  // outside the area: border
    }

    // What the bytes may hold: HGR keeps aux memory empty; monochrome HGR
    // and DHGR bytes leave bit 7 clear; a monochrome target is shown in
    // monochrome; white lights every dot and black none; an orange field
    // sets every HGR byte's palette bit.
    void outputRules_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("dither");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<int>("auxOr");      // -1: anything
        QTest::addColumn<int>("mainOr");     // bits set in some main byte, of 0xFF
        QTest::addColumn<int>("mainAnd");    // bits set in every main byte
        const int dhgr = int(ImportTarget::DhgrColour), hgr = int(ImportTarget::HgrColour);
        const int dmono = int(ImportTarget::DhgrMono), hmono = int(ImportTarget::HgrMono);
        const int look = int(ImportDither::LookAhead), fs = int(ImportDither::FloydSteinberg);
        const int none = int(ImportDither::None), atkinson = int(ImportDither::Atkinson);
        QTest::newRow("DHGR white") << dhgr << look << QColor(Qt::white) << 0x7F << 0x7F << 0x7F;
        QTest::newRow("DHGR black") << dhgr << fs << QColor(Qt::black) << 0 << 0 << 0;
        QTest::newRow("DHGR mono grey") << dmono << atkinson << QColor(128, 128, 128) << 0x7F << 0x7F << 0;
        QTest::newRow("HGR mono grey") << hmono << look << QColor(128, 128, 128) << 0 << 0x7F << 0;
        QTest::newRow("HGR black") << hgr << none << QColor(Qt::black) << 0 << 0 << 0;
        QTest::newRow("HGR orange") << hgr << look << QColor(255, 127, 0) << 0 << 0xFF << 0x80;
        QTest::newRow("HGR violet") << hgr << fs << QColor(255, 63, 255) << 0 << 0x7F << 0;
    }

    void outputRules()
    {
        QFETCH(int, target);
        QFETCH(int, dither);
        QFETCH(QColor, fill);
        QFETCH(int, auxOr);
        QFETCH(int, mainOr);
        QFETCH(int, mainAnd);
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(fill);
        ImageImporter importer(image);
        ImportSettings s;
        s.target = ImportTarget(target);
        s.dither = ImportDither(dither);
        const PictureState p = importer.convert(s, ViewOptions());
        QCOMPARE(p.isDhgr, s.isDhgr());
        QCOMPARE(p.bmFinalDepth == 1, s.isMono());
        int aux = 0, orMain = 0, andMain = 0xFF;
        for (int y = 0; y < kScanLines; ++y)
            for (int k = 0; k < kBytesPerLine; ++k) {
                aux |= p.auxMemory[rowBaseTable[size_t(y)] + size_t(k)];
                orMain |= p.mainMemory[rowBaseTable[size_t(y)] + size_t(k)];
                andMain &= p.mainMemory[rowBaseTable[size_t(y)] + size_t(k)];
            }
        QCOMPARE(aux, auxOr);
        QCOMPARE(orMain, mainOr);
        QCOMPARE(andMain & mainAnd, mainAnd);
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        const QByteArray jpeg = encoded(testsupport::testCard(320, 240), "JPG");
        QTest::newRow("text") << QByteArray("Hello, Apple II\n") << "is not an image";
        QTest::newRow("nothing") << QByteArray() << "is not an image";
        QTest::newRow("30,000 x 30,000 PNG") << pngPromising(30000, 30000) << "30,000 x 30,000 pixels, too large";
        QTest::newRow("JPEG cut in half") << jpeg.left(jpeg.size() / 2) << "cut short or damaged";
        QTest::newRow("PNG with too little data") << pngPromising(64, 64) << "could not be read as PNG";
        QTest::newRow("PNG cut short") << encoded(testsupport::testCard(64, 64), "PNG").left(200) << "could not be read as PNG";
    }

    void badFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("photo"));
        QVERIFY(testsupport::writeFile(path, bytes));
        QImage image(3, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QImage before = image;
        QString error;
        QVERIFY(!readImageFile(path, image, error));
        QVERIFY2(error.contains(says) && error.contains(path), qPrintable(error));
        QCOMPARE(image, before);
    }

    void goodFilesRead_data()
    {
        QTest::addColumn<QByteArray>("format");
        for (const char *f : {"PNG", "JPG", "BMP", "WEBP", "TIFF"})
            QTest::newRow(f) << QByteArray(f);
    }

    void goodFilesRead()
    {
        QFETCH(QByteArray, format);
        const QByteArray bytes = encoded(testsupport::testCard(120, 90), format.constData());
        QImage image;
        QString error;
        QVERIFY2(decodeImage(bytes, QStringLiteral("card"), image, error), qPrintable(error));
        QCOMPARE(image.size(), QSize(120, 90));
    }

    // morvo-render --import: what it refuses, and what it writes.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("image");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::addColumn<int>("savedBytes");
        QTest::newRow("DHGR") << QStringList{"--to", "dhgr", "--dither", "fs"} << true << 0 << "(DHGR, 16384 bytes)" << 16384;
        QTest::newRow("HGR mono, fit, adjusted")
            << QStringList{"--to", "hgr-mono", "--fit", "fit", "--gamma", "1.5", "--brightness", "-20"} << true << 0
            << "(HGR, 8192 bytes)" << 8192;
        QTest::newRow("not an image") << QStringList{} << false << 1 << "is not an image" << -1;
        QTest::newRow("unknown target") << QStringList{"--to", "lores"} << true << 2 << "--to takes dhgr, hgr" << -1;
        QTest::newRow("crop past the edge") << QStringList{"--crop-x", "1.5"} << true << 2 << "--crop-x takes a number from -1 to 1" << -1;
    }

    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, image);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QFETCH(int, savedBytes);
        QTemporaryDir dir;
        const QString photo = dir.filePath(QStringLiteral("photo.png"));
        QVERIFY(image ? testsupport::testCard(200, 100).save(photo) : testsupport::writeFile(photo, "not a picture"));
        const QString saved = dir.filePath(QStringLiteral("out.bin"));
        const QString png = dir.filePath(QStringLiteral("out.png"));
        const testsupport::Run run = testsupport::run(
            QStringLiteral("morvo-render"), QStringList{"--import", photo} + args + QStringList{"--save", saved, "-o", png});
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
        QCOMPARE(QFileInfo(saved).exists() ? QFileInfo(saved).size() : -1, qint64(savedBytes));
        QCOMPARE(QFileInfo::exists(png), savedBytes > 0);
    }

    // The same image and settings give the same bytes, whatever was
    // converted before.
    void deterministic_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("dither");
        for (int t = 0; t < 4; ++t)
            for (int d = 0; d < 4; ++d)
                QTest::newRow(qPrintable(importTargetNames().at(t) + QLatin1Char(' ') + importDitherNames().at(d))) << t << d;
    }

    void deterministic()
    {
        QFETCH(int, target);
        QFETCH(int, dither);
        const QImage card = testsupport::testCard(300, 200);
        ImportSettings s;
        s.target = ImportTarget(target);
        s.dither = ImportDither(dither);
        s.brightness = 12;
        s.fit = ImportFit::Fit;
        ImageImporter first(card);
        ImportSettings other = s;
        other.target = ImportTarget((target + 1) % 4);
        other.fit = ImportFit::Crop;
        first.convert(other, ViewOptions());
        const PictureState a = first.convert(s, ViewOptions());
        ImageImporter second(card);
        const PictureState b = second.convert(s, ViewOptions());
        QCOMPARE(a.mainMemory, b.mainMemory);
        QCOMPARE(a.auxMemory, b.auxMemory);
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
