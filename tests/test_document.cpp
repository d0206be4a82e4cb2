// The open picture's document without a window: its title and changed
// mark, its history and what undo gives back, the text screen's one step,
// and the boot screens' turn.
#include "picturedocument.h"
#include "pictureedit.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>

#include <cstring>

namespace {

PictureSnapshot randomPicture(bool dhgr, quint32 seed)
{
    PictureSnapshot p;
    p.isDhgr = dhgr;
    const QByteArray bytes = testsupport::randomBytes(2 * kPictureBytes, seed);
    std::memcpy(p.auxMemory.data(), bytes.constData(), kPictureBytes);
    std::memcpy(p.mainMemory.data(), bytes.constData() + kPictureBytes, kPictureBytes);
    return p;
}

// A stroke as the view makes it: the step begins, the pencil draws, the step ends.
void stroke(PictureDocument &doc, int row, int colour)
{
    doc.beginStep();
    if (!doc.state().isDhgr)
        convertToDhgr(doc.state());
    drawPencilLine(doc.state(), QPoint(10, row), QPoint(300, row), colour);
    doc.endStep(QStringLiteral("Stroke"));
}

} // namespace

class TestDocument : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What the title says through opening, changing, undoing back and saving.
    void titleFollowsTheChanges()
    {
        PictureDocument doc;
        QSignalSpy titles(&doc, &PictureDocument::titleChanged);
        QCOMPARE(doc.windowTitle(), QStringLiteral("morvo"));
        doc.open(randomPicture(false, 1), "/p/PIC.HGR", "PIC.HGR");
        QCOMPARE(doc.windowTitle(), QStringLiteral("morvo — PIC.HGR"));
        stroke(doc, 5, 9);
        QCOMPARE(doc.windowTitle(), QStringLiteral("morvo — PIC.HGR •"));
        QCOMPARE(titles.last().at(0).toString(), doc.windowTitle());
        doc.history()->undo();
        QVERIFY(!doc.isModified());
        doc.history()->redo();
        doc.markSaved();
        QCOMPARE(doc.windowTitle(), QStringLiteral("morvo — PIC.HGR"));
        // Undoing past the saved state is a change again.
        doc.history()->undo();
        QVERIFY(doc.isModified());
        // Another picture starts a history of its own, unchanged.
        doc.open(randomPicture(true, 2), "/p/B.DGR", "B.DGR");
        QVERIFY(!doc.history()->canUndo() && !doc.isModified());
    }

    // Every kind of step undone in reverse gives back the picture byte for
    // byte, kind and all, and redone gives the changed one again.
    void undoGivesBackEveryByte()
    {
        PictureDocument doc;
        const PictureSnapshot first = randomPicture(false, 3);
        doc.open(first, "/p/A.HGR", "A.HGR");
        QList<PictureSnapshot> seen{first};
        stroke(doc, 20, 6);
        seen << PictureSnapshot::of(doc.state());
        doc.change("Shift Left", [](PictureState &s) { shiftPicture(s, true); });
        seen << PictureSnapshot::of(doc.state());
        doc.change("New Graphic", [](PictureState &s) { s.clearMemory(); });
        seen << PictureSnapshot::of(doc.state());
        QCOMPARE(doc.history()->count(), 3);
        QCOMPARE(doc.history()->undoText(), QStringLiteral("New Graphic"));
        for (int i = 2; i >= 0; --i) {
            doc.history()->undo();
            QVERIFY2(PictureSnapshot::of(doc.state()) == seen.at(i), qPrintable(QString::number(i)));
        }
        QVERIFY(!doc.state().isDhgr);
        for (int i = 1; i <= 3; ++i) {
            doc.history()->redo();
            QVERIFY(PictureSnapshot::of(doc.state()) == seen.at(i));
        }
        // A step that changed nothing is not kept.
        doc.beginStep();
        doc.endStep("Stroke");
        QCOMPARE(doc.history()->count(), 3);
    }

    // The redraws of one text screen are one step, and a reset leaves a
    // blank picture with nothing to save and nothing to undo.
    void textScreenIsOneStep()
    {
        PictureDocument doc;
        doc.open(randomPicture(true, 4), "/p/C.DGR", "C.DGR");
        const PictureSnapshot before = PictureSnapshot::of(doc.state());
        for (uchar b : {1, 2, 3})
            doc.drawTextScreen([b](PictureState &s) { s.mainMemory.fill(b); });
        QCOMPARE(doc.history()->count(), 1);
        doc.history()->undo();
        QVERIFY(PictureSnapshot::of(doc.state()) == before);
        doc.history()->redo();
        QCOMPARE(doc.state().mainMemory[100], uchar(3));
        doc.reset();
        QVERIFY(PictureSnapshot::of(doc.state()) == PictureSnapshot());
        QVERIFY(!doc.isModified() && !doc.history()->canUndo());
        QCOMPARE(doc.windowTitle(), QStringLiteral("morvo"));
    }

    // While the boot screens show, the first change asks them to end, once.
    void bootScreensEndBeforeAChange()
    {
        PictureDocument doc;
        QSignalSpy asked(&doc, &PictureDocument::bootScreensEndRequested);
        doc.setBootScreensShowing(true);
        doc.change("Shift Right", [](PictureState &s) { shiftPicture(s, false); });
        QCOMPARE(asked.size(), 1);
        QVERIFY(!doc.endBootScreens());
        QCOMPARE(asked.size(), 1);
    }

    // A long painting session keeps every step: 600 strokes, each holding
    // only its own bytes, all undone back to the start.
    void manyStepsAreKept()
    {
        PictureDocument doc;
        const PictureSnapshot start = randomPicture(true, 5);
        doc.open(start, QString(), QString());
        for (int i = 0; i < 600; ++i)
            stroke(doc, i % 192, 1 + i % 15);
        QCOMPARE(doc.history()->count(), 600);
        while (doc.history()->canUndo())
            doc.history()->undo();
        QVERIFY(PictureSnapshot::of(doc.state()) == start);
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "test_document.moc"
