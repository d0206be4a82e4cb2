// Text screens drawn into the picture: the cell layout, inverse cells, the
// "80" mark, the screen's limits, and the glyphs dot for dot against the
// drawings the font is built from.
#include "testsupport.h"

#include "picturestate.h"
#include "resourcepath.h"
#include "rowbase.h"
#include "textscreen.h"

#include <QtTest>

namespace {

const QString kInverseSpace(QChar(0xF000));

bool dotLit(const PictureState &s, int x, int y)
{
    const int group = s.isDhgr ? x / 7 : 2 * (x / 7) + 1;
    const PictureMemory &memory = (group & 1) ? s.mainMemory : s.auxMemory;
    return memory[rowBaseTable[size_t(y)] + group / 2] & (1 << (x % 7));
}

// The 8 rows of 7 dots of text cell (row, column), "#" lit, one line each.
QString cellDots(const PictureState &s, int row, int column)
{
    QString dots;
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i <= 7; ++i)
            dots += QLatin1Char(i == 7 ? '\n' : dotLit(s, 7 * column + i, 8 * row + j) ? '#' : '.');
    return dots.chopped(1);
}

// One character per text cell: "#" all lit, "." all dark, "?" mixed.
QStringList screenCells(const PictureState &s)
{
    QStringList screen(24);
    for (int r = 0; r < 24; ++r) {
        for (int c = 0; c < (s.isDhgr ? 80 : 40); ++c) {
            const QString dots = cellDots(s, r, c);
            screen[r] += QLatin1Char(!dots.contains('.') ? '#' : !dots.contains('#') ? '.' : '?');
        }
    }
    return screen;
}

// A screen of dark cells but for those given row by row, rows separated
// by "/", each from its first column on.
QStringList sketch(int columns, const QString &cells)
{
    QStringList screen = cells.split('/');
    while (screen.size() < 24)
        screen << QString();
    for (QString &row : screen)
        row = row.leftJustified(columns, '.');
    return screen;
}

} // namespace

class TestTextScreen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("screen");
        const QString inv = kInverseSpace;
        QTest::newRow("41st column ignored") << inv.repeated(39) + " " + inv << sketch(40, QString(39, '#'));
        QTest::newRow("81st column ignored") << "80" + QString(79, ' ') + inv + inv << sketch(80, QString(79, '.') + '#');
        QTest::newRow("25th row ignored") << QStringList(25, inv).join('\n') << sketch(40, QStringList(24, "#").join('/'));
        QTest::newRow("empty rows count, short rows stay dark") << "\n\n " + inv + "\n" + inv << sketch(40, "//.#/#");
        QTest::newRow("\"8\" alone is a character") << "8" + inv << sketch(40, "?#");
        QTest::newRow("\"80\" only at the start") << inv + "80" << sketch(40, "#??");
    }

    // Whatever the picture was, it is replaced whole; the view options stay.
    void layout()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, screen);
        PictureState s;
        s.auxMemory.fill(0xFF);
        s.mainMemory.fill(0xFF);
        const bool dhgr = screen.first().size() == 80;
        s.isDhgr = !dhgr;
        s.bitShifting = false;
        const ViewOptions options = s.viewOptions();
        renderTextScreen(s, text, appleFontFamily());
        QCOMPARE(s.isDhgr, dhgr);
        QCOMPARE(s.viewOptions(), options);
        QCOMPARE(screenCells(s), screen);
        QCOMPARE(s.mainMemory[120], uchar(0));
    }

    void glyphsMatchTheirDrawings_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("inverse");
        QTest::newRow("40 columns") << QString() << false;
        QTest::newRow("80 columns") << QString("80") << false;
        QTest::newRow("40 columns, inverse") << QString() << true;
    }

    // A known line of text, dot for dot, against tools/font/glyphs.txt.
    void glyphsMatchTheirDrawings()
    {
        QFETCH(QString, prefix);
        QFETCH(bool, inverse);
        if (appleFontFamily().isEmpty())
            QSKIP("the Apple II font is not available");
        const QMap<uint, QStringList> drawings = testsupport::fontDrawings();
        const QString line("THE QUICK BROWN FOX, 0123456789 ][ jog?");
        QString text = prefix + "\n\n";
        for (QChar c : line)
            text += inverse ? QChar(0xF000 + c.unicode() - 0x20) : c;
        PictureState s;
        renderTextScreen(s, text, appleFontFamily());
        for (int c = 0; c < line.size(); ++c) {
            QString expected = drawings.value(line.at(c).unicode()).join('\n');
            QVERIFY(expected.size() == 8 * 8 - 1);
            if (inverse)
                expected.replace('#', 'x').replace('.', '#').replace('x', '.');
            QCOMPARE(cellDots(s, 2, c), expected);
        }
    }

    // Without the font the default one draws the letters.
    void withoutTheFont()
    {
        PictureState s;
        renderTextScreen(s, "HELLO", QString());
        QVERIFY(screenCells(s).at(0).left(5).contains('?'));
    }
};

QTEST_MAIN(TestTextScreen)
#include "test_textscreen.moc"
