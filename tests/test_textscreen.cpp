// Text screens drawn into the picture: the cell layout, inverse cells, the
// "80" mark, the screen's limits, and the glyphs dot for dot against the
// drawings the font is built from.
#include "testsupport.h"

#include "morvowidget.h"
#include "resourcepath.h"
#include "rowbase.h"
#include "textscreen.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

const QString kInverseSpace(QChar(0xF000));

bool dotLit(const PictureState &s, int x, int y)
{
    const int group = s.isDhgr ? x / 7 : 2 * (x / 7) + 1;
    const PictureMemory &memory = (group & 1) ? s.mainMemory : s.auxMemory;
    return memory[rowBaseTable[size_t(y)] + group / 2] & (1 << (x % 7));
}

// The 8 rows of 7 dots of text cell (row, column), "#" lit.
QStringList cellDots(const PictureState &s, int row, int column)
{
    QStringList rows;
    for (int j = 0; j < 8; ++j) {
        QString line;
        for (int i = 0; i < 7; ++i)
            line += QLatin1Char(dotLit(s, 7 * column + i, 8 * row + j) ? '#' : '.');
        rows << line;
    }
    return rows;
}

// One character per text cell: "#" all lit, "." all dark, "?" mixed.
QStringList screenCells(const PictureState &s)
{
    QStringList screen;
    for (int r = 0; r < 24; ++r) {
        QString line;
        for (int c = 0; c < (s.isDhgr ? 80 : 40); ++c) {
            const QString dots = cellDots(s, r, c).join(QString());
            line += QLatin1Char(!dots.contains(QLatin1Char('.')) ? '#' : !dots.contains(QLatin1Char('#')) ? '.' : '?');
        }
        screen << line;
    }
    return screen;
}

// A screen of dark cells with the given (row, column, mark) cells set.
QStringList cells(int columns, const QList<std::tuple<int, int, char>> &marks = {})
{
    QStringList screen(24, QString(columns, QLatin1Char('.')));
    for (const auto &[r, c, mark] : marks)
        screen[r][c] = QLatin1Char(mark);
    return screen;
}

QStringList inverted(QStringList rows)
{
    for (QString &row : rows)
        for (QChar &c : row)
            c = QLatin1Char(c == QLatin1Char('#') ? '.' : '#');
    return rows;
}

} // namespace

class TestTextScreen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layout_data();
    void layout();
    void glyphsMatchTheirDrawings_data();
    void glyphsMatchTheirDrawings();
    void withoutTheFont();
    void widgetShowsTheScreen();
};

void TestTextScreen::layout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("dhgr");
    QTest::addColumn<QStringList>("screen");

    const QString inv = kInverseSpace;
    QStringList fullColumn = cells(40);
    for (QString &row : fullColumn)
        row[0] = QLatin1Char('#');
    QStringList fullRow = cells(40);
    fullRow[0] = QString(39, QLatin1Char('#')) + QLatin1Char('.');
    QTest::newRow("empty text: empty HGR") << QString() << false << cells(40);
    QTest::newRow("\"80\" alone: empty DHGR") << QStringLiteral("80") << true << cells(80);
    QTest::newRow("inverse space: white cell") << inv << false << cells(40, {{0, 0, '#'}});
    QTest::newRow("41st column ignored") << inv.repeated(39) + QStringLiteral(" ") + inv << false << fullRow;
    QTest::newRow("81st column ignored") << QStringLiteral("80") + QString(79, QLatin1Char(' ')) + inv + inv << true
                                         << cells(80, {{0, 79, '#'}});
    QTest::newRow("25th row ignored") << QStringList(25, inv).join(QLatin1Char('\n')) << false << fullColumn;
    QTest::newRow("empty rows count, short rows stay dark") << QStringLiteral("\n\n ") + inv + QStringLiteral("\n") + inv
                                                            << false << cells(40, {{2, 1, '#'}, {3, 0, '#'}});
    QTest::newRow("\"8\" alone is a character") << QStringLiteral("8") + inv << false << cells(40, {{0, 0, '?'}, {0, 1, '#'}});
    QTest::newRow("\"80\" only at the start") << inv + QStringLiteral("80") << false
                                              << cells(40, {{0, 0, '#'}, {0, 1, '?'}, {0, 2, '?'}});
}

// Whatever the picture was, it is replaced whole; the view options stay.
void TestTextScreen::layout()
{
    QFETCH(QString, text);
    QFETCH(bool, dhgr);
    QFETCH(QStringList, screen);
    PictureState s;
    QRandomGenerator rng(5);
    for (uchar &b : s.mainMemory)
        b = uchar(rng.generate());
    s.auxMemory = s.mainMemory;
    s.isDhgr = !dhgr;
    s.bitShifting = false;
    const ViewOptions options = s.viewOptions();
    renderTextScreen(s, text, appleFontFamily());
    QCOMPARE(s.isDhgr, dhgr);
    QCOMPARE(s.viewOptions(), options);
    QCOMPARE(screenCells(s), screen);
    QCOMPARE(s.mainMemory[120], uchar(0));
}

void TestTextScreen::glyphsMatchTheirDrawings_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("inverse");
    QTest::newRow("40 columns") << QString() << false;
    QTest::newRow("80 columns") << QStringLiteral("80") << false;
    QTest::newRow("40 columns, inverse") << QString() << true;
}

// A known line of text, dot for dot, against tools/font/glyphs.txt.
void TestTextScreen::glyphsMatchTheirDrawings()
{
    QFETCH(QString, prefix);
    QFETCH(bool, inverse);
    const QString family = appleFontFamily();
    if (family.isEmpty())
        QSKIP("the Apple II font is not available");
    const QStringList lines = QString::fromUtf8(testsupport::readFile(
        testsupport::sourceDir() + QStringLiteral("/tools/font/glyphs.txt"))).split(QLatin1Char('\n'));
    QHash<uint, QStringList> drawings;
    for (int i = 0; i + 8 < lines.size(); ++i)
        if (lines.at(i).startsWith(QLatin1String("U+")))
            drawings.insert(lines.at(i).mid(2, 4).toUInt(nullptr, 16), lines.mid(i + 1, 8));

    const QString line = QStringLiteral("THE QUICK BROWN FOX, 0123456789 ][ jog?");
    QString text = prefix + QStringLiteral("\n\n");
    for (QChar c : line)
        text += inverse ? QChar(0xF000 + c.unicode() - 0x20) : c;
    PictureState s;
    renderTextScreen(s, text, family);
    for (int c = 0; c < line.size(); ++c) {
        const QStringList drawing = drawings.value(line.at(c).unicode());
        QCOMPARE(drawing.size(), 8);
        QCOMPARE(cellDots(s, 2, c), inverse ? inverted(drawing) : drawing);
    }
}

void TestTextScreen::withoutTheFont()
{
    PictureState s;
    renderTextScreen(s, QStringLiteral("HELLO\n") + kInverseSpace, QString());
    const QStringList screen = screenCells(s);
    QCOMPARE(screen.at(1).at(0), QLatin1Char('#'));
    QVERIFY(screen.at(0).left(5).contains(QLatin1Char('?')));
}

void TestTextScreen::widgetShowsTheScreen()
{
    MorvoWidget widget;
    widget.state().bmFinalDepth = 1;
    widget.state().oneBitPalette = 2;
    widget.renderTextScreen(kInverseSpace, appleFontFamily());
    QVERIFY(!widget.state().isDhgr);
    // HGR dots 0 to 6 of rows 0 to 7: columns 0 to 13, amber.
    QCOMPARE(testsupport::rgbAt(widget.image(), 13, 7), 0xFFBB00u);
    QCOMPARE(testsupport::rgbAt(widget.image(), 14, 7), 0u);
    QCOMPARE(testsupport::rgbAt(widget.image(), 0, 8), 0u);
}

QTEST_MAIN(TestTextScreen)
#include "test_textscreen.moc"
