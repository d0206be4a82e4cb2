// morvo's test mode and morvo-render, run as the processes a user or a script
// starts: the frames they write, the picture bytes morvo-render saves after
// its operations, and what it refuses.
#include "pictureedit.h"
#include "pictureloader.h"
#include "render.h"
#include "resourcepath.h"
#include "testsupport.h"
#include "textcodec.h"
#include "textscreen.h"

#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using testsupport::randomBytes;
using testsupport::readFile;
using testsupport::writeFile;

Q_DECLARE_METATYPE(ViewOptions)

class TestPrograms : public QObject {
    Q_OBJECT

    const QByteArray m_hgr = randomBytes(kPictureBytes, 21);
    std::optional<QTemporaryDir> m_dir;  // a new one for each test, holding m_hgr as in.hgr

    QString at(const QString &name) const { return m_dir->filePath(name); }

    // morvo-render in m_dir with the space-separated arguments.
    testsupport::Run render(const QString &args) const
    {
        return testsupport::run("morvo-render", args.split(' ', Qt::SkipEmptyParts), m_dir->path());
    }

    // The frame of a picture file, or of the empty picture when it does not load.
    static QImage frameOf(const QString &path, const ViewOptions &options)
    {
        PictureState s;
        applyPictureFile(readPictureFile(path), s);
        s.viewOptions() = options;
        QImage frame;
        renderPicture(s, frame);
        return frame;
    }

    static QImage readPng(const QString &path) { return QImage(path).convertToFormat(QImage::Format_RGBA8888); }

private Q_SLOTS:
    void init()
    {
        m_dir.emplace();
        QVERIFY(writeFile(at("in.hgr"), m_hgr));
    }

    // One line on standard error, and the frame with the test's fixed options
    // in the PNG named, or by default in /tmp.
    void testMode()
    {
        QVERIFY(writeFile(at("p.dgr"), randomBytes(16384, 1)));
        ViewOptions fixed;
        fixed.bmFinalDepth = 32;
        for (const QString &png : {at("out.png"), QStringLiteral("/tmp/morvo_test.png")}) {
            QFile::remove(png);
            const QStringList named = png.startsWith(m_dir->path()) ? QStringList{png} : QStringList();
            const auto r = testsupport::run("morvo", QStringList{at("p.dgr"), "--test"} + named);
            QCOMPARE(r.exitCode, 0);
            QCOMPARE(r.err, "offscreen: 562x192 format=17\n");
            QCOMPARE(readPng(png), frameOf(at("p.dgr"), fixed));
        }
    }

    void renderOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<ViewOptions>("options");
        const auto with = [](auto change) { ViewOptions o; change(o); return o; };
        QTest::newRow("by the book, no shifting, offset 1") << QStringList{"--engine", "book", "--bit-shifting", "off", "--column-offset", "1"}
            << with([](ViewOptions &o) { o.jexEngine = false; o.bitShifting = false; o.dhgrColumnOffset = 1; });
        QTest::newRow("sharp with IREZ CapSure by name") << QStringList{"--engine", "sharp", "--palette", "irez-capsure"}
            << with([](ViewOptions &o) { o.schemeType = 2; o.paletteType = 6; });
        QTest::newRow("Jex's TV typed loosely") << QStringList{"--palette", "JEXS TV", "--engine", "venderoft"}
            << with([](ViewOptions &o) { o.schemeType = 0; });
        QTest::newRow("monochrome keeps the slot for its white") << QStringList{"--palette", "0", "--mono", "white", "--engine", "book"}
            << with([](ViewOptions &o) { o.jexEngine = false; o.bmFinalDepth = 1; o.paletteType = 0; });
        QTest::newRow("amber") << QStringList{"--mono", "amber"} << with([](ViewOptions &o) { o.bmFinalDepth = 1; o.oneBitPalette = 2; });
    }

    void renderOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(ViewOptions, options);
        QVERIFY(writeFile(at("in.dgr"), randomBytes(16384, 5)));
        for (const QString input : {"in.hgr", "in.dgr"}) {
            const auto r = testsupport::run("morvo-render", QStringList{at(input), "-o", at("out.png")} + args);
            QVERIFY2(r.exitCode == 0, qPrintable(r.err));
            QCOMPARE(readPng(at("out.png")), frameOf(at(input), options));
        }
    }

    // --info tells what each input loads as by its size. Inputs that share a
    // name keep their extensions in a shared directory, so that none of the
    // PNGs replaces another. Without -o each PNG lands beside its input, but
    // never over it.
    void renderManyInputs()
    {
        QVERIFY(writeFile(at("SHORT.HGR"), m_hgr.left(8184)) && writeFile(at("in.AUX"), m_hgr));
        QVERIFY(writeFile(at("two.hgr"), m_hgr) && writeFile(at("two.dgr"), randomBytes(16384, 6)));
        QVERIFY(writeFile(at("notes.txt"), "HELLO\n") && writeFile(at("pic.png"), m_hgr));
        auto r = render("--info SHORT.HGR in.hgr two.dgr notes.txt");
        QCOMPARE(r.exitCode, 1);  // the text file is no picture
        const QStringList expected{"8184 bytes, HGR, short page", "HGR + .AUX", "16384 bytes, DHGR", "not loaded"};
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), expected.size());
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY2(lines[i].contains(expected[i]), qPrintable(lines[i]));
        QCOMPARE(render("SHORT.HGR two.dgr two.hgr -o pngs/").exitCode, 0);
        QCOMPARE(QDir(at("pngs")).entryList(QDir::Files), QStringList({"SHORT.png", "two.dgr.png", "two.hgr.png"}));
        QCOMPARE(readPng(at("pngs/two.dgr.png")), frameOf(at("two.dgr"), ViewOptions()));
        r = render("in.hgr pic.png");
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("pic.png: output would replace the input"), qPrintable(r.err));
        QCOMPARE(readPng(at("in.png")), frameOf(at("in.hgr"), ViewOptions()));
        QCOMPARE(readFile(at("pic.png")), m_hgr);
    }

    // Each --save writes the picture as it is at that point; without -o no
    // PNG is written.
    void operationsInCommandLineOrder()
    {
        QCOMPARE(render("in.hgr --save same.hgr --shift-left 3 --convert-to-dhgr --save converted.dgr "
                        "--shift-right 2 --save shifted.dgr").exitCode, 0);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"converted.dgr", "in.hgr", "same.hgr", "shifted.dgr"}));
        QCOMPARE(readFile(at("same.hgr")), m_hgr);
        PictureState s;
        QVERIFY(applyPictureFile(readPictureFile(at("in.hgr")), s) && !s.isDhgr);
        for (int i = 0; i < 3; ++i)
            shiftPicture(s, true);
        convertToDhgr(s);
        QCOMPARE(readFile(at("converted.dgr")), pictureFileBytes(s));
        shiftPicture(s, false);
        shiftPicture(s, false);
        QCOMPARE(readFile(at("shifted.dgr")), pictureFileBytes(s));
    }

    // A text screen file read, drawn, saved and written as a PNG: one of 80
    // columns in UTF-8, with inverse letters; the drawing's own rules are
    // checked with the font.
    void textScreenToPicture()
    {
        const QByteArray file("80HELLO \xEF\x80\xA1\xEF\x80\xA2\n\nEIGHTY");
        QVERIFY(writeFile(at("screen.txt"), file));
        QCOMPARE(render("--text-screen screen.txt --save screen.dgr -o screen.png").exitCode, 0);
        PictureState expected;
        renderTextScreen(expected, decodeTextScreen(file), appleFontFamily());
        QCOMPARE(readFile(at("screen.dgr")), pictureFileBytes(expected));
        QCOMPARE(readPng(at("screen.png")), frameOf(at("screen.dgr"), ViewOptions()));
    }

    void refusesAndWritesNothing_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("shift too far") << "in.hgr --shift-right 561 --save a.hgr" << 2 << "from 0 to 560";
        QTest::newRow("shift not a number") << "in.hgr --shift-right two --save a.hgr" << 2 << "not \"two\"";
        QTest::newRow("text screen and an input") << "in.hgr --text-screen in.hgr --save a.hgr" << 2 << "give no INPUT";
        QTest::newRow("operations with --info") << "--info in.hgr --convert-to-dhgr" << 2 << "leave out the picture operations";
        QTest::newRow("--save and -o the same file") << "in.hgr --save a.hgr -o a.hgr" << 2 << "--save and -o both name";
        QTest::newRow("DHGR saved as .hgr") << "in.hgr --convert-to-dhgr --save a.hgr" << 1 << "save it as .dgr";
        QTest::newRow("save over the input") << "in.hgr --shift-left 1 --save in.hgr" << 1 << "would replace";
        QTest::newRow("save into a missing folder") << "in.hgr --save no/such/folder/a.hgr" << 1 << "cannot write";
        QTest::newRow("text screen missing") << "--text-screen none.txt --save a.hgr" << 1 << "cannot open";
        QTest::newRow("unknown engine") << "in.hgr --engine ntsc" << 2 << "unknown engine";
        QTest::newRow("palette out of range") << "in.hgr --palette 8" << 2 << "unknown palette";
        QTest::newRow("bad cell offset") << "in.hgr --column-offset 2" << 2 << "--column-offset";
        QTest::newRow("one file for two inputs") << "in.hgr in.hgr -o one.png" << 2 << "directory";
        QTest::newRow("no input") << "" << 2 << "no input";
    }

    void refusesAndWritesNothing()
    {
        QFETCH(QString, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const auto r = render(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"in.hgr"});
        QCOMPARE(readFile(at("in.hgr")), m_hgr);
    }
};

QTEST_MAIN(TestPrograms)
#include "test_programs.moc"
