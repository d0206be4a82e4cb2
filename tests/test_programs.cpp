// morvo's test mode and morvo-render, run as the processes a user or a script
// starts: the frames they write, the picture bytes morvo-render saves after
// its operations, and what it refuses.
#include "pictureedit.h"
#include "picturelocation.h"
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

    // The frame of a picture (a file, or a location inside a disk image), or of
    // the empty picture when it does not load.
    static QImage frameOf(const QString &path, const ViewOptions &options)
    {
        PictureState s;
        applyPictureFile(loadPictureLocation(PictureLocation::fromString(path)), s);
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

    void renderOptions_data()
    {
        QTest::addColumn<QString>("args");  // after the input, OUT standing for the PNG; with --test for morvo
        QTest::addColumn<ViewOptions>("options");
        const auto with = [](auto change) { ViewOptions o; change(o); return o; };
        // morvo's test mode draws with fixed options, into the PNG named or by default in /tmp.
        const ViewOptions testMode = with([](ViewOptions &o) { o.bmFinalDepth = 32; });
        QTest::newRow("test mode") << "--test OUT" << testMode;
        QTest::newRow("test mode, PNG in /tmp") << "--test" << testMode;
        QTest::newRow("by the book, no shifting, offset 1") << "-o OUT --engine book --bit-shifting off --column-offset 1"
            << with([](ViewOptions &o) { o.jexEngine = false; o.bitShifting = false; o.dhgrColumnOffset = 1; });
        QTest::newRow("sharp with IREZ CapSure by name") << "-o OUT --engine sharp --palette irez-capsure"
            << with([](ViewOptions &o) { o.schemeType = 2; o.paletteType = 6; });
        QTest::newRow("monochrome keeps the slot for its white") << "-o OUT --palette 0 --mono white --engine book"
            << with([](ViewOptions &o) { o.jexEngine = false; o.bmFinalDepth = 1; o.paletteType = 0; });
        QTest::newRow("amber") << "-o OUT --mono amber" << with([](ViewOptions &o) { o.bmFinalDepth = 1; o.oneBitPalette = 2; });
    }

    // morvo-render says nothing on standard error, test mode one line.
    void renderOptions()
    {
        QFETCH(QString, args);
        QFETCH(ViewOptions, options);
        QVERIFY(writeFile(at("in.dgr"), randomBytes(16384, 5)));
        const bool testMode = args.startsWith("--test");
        const QString png = args.contains("OUT") ? at("out.png") : QStringLiteral("/tmp/morvo_test.png");
        for (const QString input : {"in.hgr", "in.dgr"}) {
            QFile::remove(png);
            QStringList command{at(input)};
            for (const QString &arg : args.split(' '))
                command << (arg == "OUT" ? png : arg);
            const auto r = testsupport::run(testMode ? "morvo" : "morvo-render", command);
            QCOMPARE(r.err, QString(testMode ? "offscreen: 562x192 format=17\n" : ""));
            QCOMPARE(r.exitCode, 0);
            QCOMPARE(readPng(png), frameOf(at(input), options));
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
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.size() == 4 && lines[0].contains("8184 bytes, HGR, short page") && lines[1].contains("HGR + .AUX")
                     && lines[2].contains("16384 bytes, DHGR") && lines[3].contains("not loaded"), qPrintable(r.out));
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
    // PNG is written. A text screen file, here one of 80 columns in UTF-8 with
    // inverse letters, is drawn as the picture; the drawing's own rules are
    // checked with the font.
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
        const QByteArray file("80HELLO \xEF\x80\xA1\xEF\x80\xA2\n\nEIGHTY");
        QVERIFY(writeFile(at("screen.txt"), file));
        QCOMPARE(render("--text-screen screen.txt --save screen.dgr -o screen.png").exitCode, 0);
        renderTextScreen(s, decodeTextScreen(file), appleFontFamily());
        QCOMPARE(readFile(at("screen.dgr")), pictureFileBytes(s));
        QCOMPARE(readPng(at("screen.png")), frameOf(at("screen.dgr"), ViewOptions()));
    }

    // A disk image or a folder renders every picture it holds, each PNG
    // named after the picture's path inside and kept inside the output
    // folder; --info says why each file counts as a picture.
    void rendersDiskImages()
    {
        const QString disks = QStringLiteral(MORVO_DISKS_DIR "/");
        auto r = render("--info " + disks + "prodos.po");
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith(disks + "prodos.po: ProDOS volume /PICS, 280 blocks, ProDOS order, 12 pictures\n"
                                          "  HGR.BIN: BIN $2000 of 8,192 bytes: HGR\n")
                     && r.out.contains("  MODE.FOT: FOT $0000 of 8,192 bytes: HGR graphics screen, made for 140 x 192 colour\n")
                     && r.out.endsWith("  problem: FORKED: a file with two forks (FOT $4000), which is not read\n"),
                 qPrintable(r.out));

        r = render(disks + "prodos.po -o out/ --engine book");
        QCOMPARE(r.exitCode, 1);  // BADPACK does not unpack
        QVERIFY2(r.err.contains("BADPACK: FOT $4000: PackBytes-packed HGR, but it does not unpack"), qPrintable(r.err));
        ViewOptions book;
        book.jexEngine = false;
        QCOMPARE(readPng(at("out/ART/DEEP/PIC.png")), frameOf(disks + "expected/po_DEEP", book));
        QCOMPARE(readPng(at("out/PACKED.DHGR.png")), frameOf(disks + "expected/po_PACKED_DHGR", book));

        QCOMPARE(render(disks + "names.dsk -o names/").exitCode, 0);
        QStringList written;
        QDirIterator it(at("names"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            written << it.next().mid(at("names/").size());
        written.sort();
        QCOMPARE(written, QStringList({"A/B.png", "A_B.png", "PIC~2.png", "TWO__SPACES.png", "_../_../ESCAPE.png",
                                       "_.HIDDEN.png", "pic.png"}));
        QCOMPARE(readPng(at("names/PIC~2.png")), frameOf(disks + "names.dsk" + QChar(0) + "PIC", ViewOptions()));

        // A folder: each picture file once, a pair as one picture.
        QCOMPARE(render(disks + "loose/ -o loose/").exitCode, 0);
        QCOMPARE(QDir(at("loose")).entryList(QDir::Files).size(), 8);
        QCOMPARE(readPng(at("loose/PAIR.BIN.png")), frameOf(disks + "loose/PAIR.BIN", ViewOptions()));
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
