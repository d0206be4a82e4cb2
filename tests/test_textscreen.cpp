// Text screens drawn into the picture: the cell layout, inverse cells, the
// "80" mark, the screen's limits, and the glyphs dot for dot against the
// drawings the font is built from.
#include "testsupport.h"

#include "morvowidget.h"
#include "picturestate.h"
#include "resourcepath.h"
#include "rowbase.h"
#include "textscreen.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

constexpr QChar kInverseSpace(0xF000);

bool dotLit(const PictureState &s, int x, int y)
{
    if (!s.isDhgr)
        return s.mainMemory[rowBaseTable[size_t(y)] + x / 7] & (1 << (x % 7));
    const int group = x / 7;
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
            line += dotLit(s, 7 * column + i, 8 * row + j) ? QLatin1Char('#') : QLatin1Char('.');
        rows << line;
    }
    return rows;
}

// One character per text cell: "#" all lit, "." all dark, "?" mixed.
QStringList screenCells(const PictureState &s)
{
    const int columns = s.isDhgr ? 80 : 40;
    QStringList screen;
    for (int r = 0; r < 24; ++r) {
        QString line;
        for (int c = 0; c < columns; ++c) {
            const QString dots = cellDots(s, r, c).join(QString());
            line += !dots.contains(QLatin1Char('.')) ? QLatin1Char('#')
                  : !dots.contains(QLatin1Char('#')) ? QLatin1Char('.') : QLatin1Char('?');
        }
        screen << line;
    }
    return screen;
}

QStringList blankScreen(int columns)
{
    return QStringList(24, QString(columns, QLatin1Char('.')));
}

QString repeated(QChar c, int n) { return QString(n, c); }

// The font's drawings: code point to 8 rows of 7 characters.
QHash<uint, QStringList> readGlyphDrawings(const QString &path)
{
    QHash<uint, QStringList> glyphs;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return glyphs;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines.at(i).startsWith(QLatin1String("U+")))
            continue;
        const uint code = lines.at(i).mid(2).section(QLatin1Char(' '), 0, 0).toUInt(nullptr, 16);
        glyphs.insert(code, lines.mid(i + 1, 8));
        i += 8;
    }
    return glyphs;
}

QStringList inverted(QStringList rows)
{
    for (QString &row : rows)
        for (QChar &c : row)
            c = c == QLatin1Char('#') ? QLatin1Char('.') : QLatin1Char('#');
    return rows;
}

} // namespace

class TestTextScreen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layout_data();
    void layout();
    void inverseIsTheNormalCellReversed_data();
    void inverseIsTheNormalCellReversed();
    void replacesThePictureAndKeepsTheOptions();
    void glyphsMatchTheirDrawings_data();
    void glyphsMatchTheirDrawings();
    void withoutTheFont();
    void widgetShowsTheScreen();
};

void TestTextScreen::layout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("dhgr");
    QTest::addColumn<QStringList>("cells");

    const QString inv(kInverseSpace);
    QStringList cells = blankScreen(40);
    QTest::newRow("empty text: empty HGR") << QString() << false << cells;
    QTest::newRow("\"80\" alone: empty DHGR") << QStringLiteral("80") << true << blankScreen(80);

    cells[0][0] = QLatin1Char('#');
    QTest::newRow("inverse space: white cell") << inv << false << cells;
    QTest::newRow("41st column ignored") << repeated(kInverseSpace, 40) + QStringLiteral(" ") + inv
                                         << false << [] { QStringList c = blankScreen(40); c[0].fill(QLatin1Char('#')); return c; }();
    QTest::newRow("25th row ignored") << QStringList(25, inv).join(QLatin1Char('\n')) << false
                                      << [] { QStringList c = blankScreen(40); for (QString &r : c) r[0] = QLatin1Char('#'); return c; }();

    cells = blankScreen(40);
    cells[2][1] = QLatin1Char('#');
    cells[3][0] = QLatin1Char('#');
    cells[3][1] = QLatin1Char('#');
    QTest::newRow("empty rows count, short rows stay black")
        << QStringLiteral("\n\n ") + inv + QStringLiteral("\n") + inv + inv << false << cells;

    cells = blankScreen(80);
    cells[0][1] = QLatin1Char('#');
    cells[0][79] = QLatin1Char('#');
    QTest::newRow("80 columns") << QStringLiteral("80 ") + inv + QString(77, QLatin1Char(' ')) + inv + inv << true << cells;

    cells = blankScreen(40);
    cells[0][0] = QLatin1Char('?');
    cells[0][1] = QLatin1Char('#');
    QTest::newRow("\"8\" alone is a character") << QStringLiteral("8") + inv << false << cells;
    QTest::newRow("\"80\" only at the start") << inv + QStringLiteral("80") << false
        << [] { QStringList c = blankScreen(40); c[0].replace(0, 3, QStringLiteral("#??")); return c; }();
}

void TestTextScreen::layout()
{
    QFETCH(QString, text);
    QFETCH(bool, dhgr);
    QFETCH(QStringList, cells);
    PictureState s;
    s.isDhgr = !dhgr;
    renderTextScreen(s, text, appleFontFamily());
    QCOMPARE(s.isDhgr, dhgr);
    QCOMPARE(screenCells(s), cells);
}

void TestTextScreen::inverseIsTheNormalCellReversed_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::newRow("40 columns") << QString();
    QTest::newRow("80 columns") << QStringLiteral("80");
}

void TestTextScreen::inverseIsTheNormalCellReversed()
{
    QFETCH(QString, prefix);
    for (ushort c = 0x21; c <= 0x7E; ++c) {
        PictureState normal;
        PictureState inverse;
        renderTextScreen(normal, prefix + QStringLiteral(" ") + QChar(c), appleFontFamily());
        renderTextScreen(inverse, prefix + QStringLiteral(" ") + QChar(0xF000 + c - 0x20), appleFontFamily());
        const QStringList glyph = cellDots(normal, 0, 1);
        QVERIFY2(glyph.join(QString()).contains(QLatin1Char('#')), qPrintable(QString(QChar(c))));
        QCOMPARE(cellDots(inverse, 0, 1), inverted(glyph));
    }
}

void TestTextScreen::replacesThePictureAndKeepsTheOptions()
{
    PictureState s;
    QRandomGenerator rng(5);
    for (uchar &b : s.auxMemory)
        b = uchar(rng.generate());
    for (uchar &b : s.mainMemory)
        b = uchar(rng.generate());
    s.bitShifting = true;
    s.jexEngine = false;
    s.is560Mode = true;
    const ViewOptions options = s.viewOptions();

    renderTextScreen(s, QStringLiteral("80") + QString(kInverseSpace), appleFontFamily());
    QCOMPARE(s.viewOptions(), options);
    PictureState expected;
    for (int y = 0; y < 8; ++y)
        expected.auxMemory[rowBaseTable[size_t(y)]] = 0x7F;
    QCOMPARE(s.auxMemory, expected.auxMemory);
    QCOMPARE(s.mainMemory, expected.mainMemory);
}

void TestTextScreen::glyphsMatchTheirDrawings_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("inverse");
    QTest::newRow("40 columns") << QString() << false;
    QTest::newRow("80 columns") << QStringLiteral("80") << false;
    QTest::newRow("40 columns, inverse") << QString() << true;
}

// A known line of text, dot for dot, against the drawings in
// tools/font/glyphs.txt that the font is built from.
void TestTextScreen::glyphsMatchTheirDrawings()
{
    QFETCH(QString, prefix);
    QFETCH(bool, inverse);
    const QString family = appleFontFamily();
    if (family.isEmpty())
        QSKIP("the Apple II font is not available");
    const QHash<uint, QStringList> glyphs
        = readGlyphDrawings(testsupport::sourceDir() + QStringLiteral("/tools/font/glyphs.txt"));
    QVERIFY(!glyphs.isEmpty());

    const QString line = QStringLiteral("THE QUICK BROWN FOX, 0123456789 ][ jog?");
    QString text = prefix + QStringLiteral("\n\n");
    for (QChar c : line)
        text += inverse ? QChar(0xF000 + c.unicode() - 0x20) : c;
    PictureState s;
    renderTextScreen(s, text, family);
    for (int c = 0; c < line.size(); ++c) {
        const QStringList drawing = glyphs.value(line.at(c).unicode());
        QVERIFY2(drawing.size() == 8, qPrintable(QStringLiteral("no drawing for %1").arg(line.at(c))));
        QCOMPARE(cellDots(s, 2, c), inverse ? inverted(drawing) : drawing);
    }
}

// Without the Apple II font the screen is still drawn, in the default font.
void TestTextScreen::withoutTheFont()
{
    PictureState s;
    renderTextScreen(s, QStringLiteral("HELLO\n") + QString(kInverseSpace), QString());
    QVERIFY(!s.isDhgr);
    const QStringList cells = screenCells(s);
    QCOMPARE(cells.at(1).at(0), QLatin1Char('#'));
    QVERIFY(cells.at(0).left(5).contains(QLatin1Char('?')));
}

void TestTextScreen::widgetShowsTheScreen()
{
    MorvoWidget widget;
    PictureState &s = widget.state();
    s.bmFinalDepth = 1;
    s.oneBitPalette = 2;
    s.jexEngine = false;
    widget.renderTextScreen(QString(kInverseSpace), appleFontFamily());
    QVERIFY(!s.isDhgr);
    QCOMPARE(s.bmFinalDepth, quint16(1));
    // HGR dots 0 to 6 of rows 0 to 7: columns 0 to 13, amber.
    QCOMPARE(testsupport::rgbAt(widget.image(), 13, 7), 0xFFBB00u);
    QCOMPARE(testsupport::rgbAt(widget.image(), 14, 7), 0x000000u);
    QCOMPARE(testsupport::rgbAt(widget.image(), 0, 8), 0x000000u);
}

QTEST_MAIN(TestTextScreen)
#include "test_textscreen.moc"
