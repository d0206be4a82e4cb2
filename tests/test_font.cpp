// The Apple II font and the text screens drawn with it. The dot drawings in
// tools/font/glyphs.txt must come out of the TrueType file exactly, dot for
// dot, at the sizes the program draws; a text screen in the picture keeps the
// cell layout, inverse cells, the "80" mark and the screen's limits.
#include "resourcepath.h"
#include "testsupport.h"
#include "textcodec.h"
#include "textscreen.h"

#include <QPainter>
#include <QRegularExpression>
#include <QtTest>

namespace {

QString text(char32_t cp) { return QString::fromUcs4(&cp, 1); }
QByteArray name(uint cp) { return "U+" + QByteArray::number(cp, 16).toUpper().rightJustified(4, '0'); }
QChar inverseOf(QChar c) { return QChar(0xF000 + c.unicode() - 0x20); }

// The 8 rows of 7 dots of text cell (row, column), "#" lit, one line each.
QString cellDots(const PictureState &s, int row, int column)
{
    QString dots;
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i <= 7; ++i)
            dots += QLatin1Char(i == 7 ? '\n' : testsupport::dotLit(s, 7 * column + i, 8 * row + j) ? '#' : '.');
    return dots.chopped(1);
}

// One character per text cell, "#" all lit, "." all dark, "?" mixed, rows
// joined by "/"; the dark cells that end a row or the screen are left out.
QString screenCells(const PictureState &s)
{
    QStringList screen(24);
    for (int r = 0; r < 24; ++r) {
        for (int c = 0; c < (s.isDhgr ? 80 : 40); ++c) {
            const QString dots = cellDots(s, r, c);
            screen[r] += QLatin1Char(!dots.contains('.') ? '#' : !dots.contains('#') ? '.' : '?');
        }
        screen[r].remove(QRegularExpression("\\.+$"));
    }
    return screen.join('/').remove(QRegularExpression("/+$"));
}

} // namespace

class TestFont : public QObject {
    Q_OBJECT

    QString m_family;
    QMap<uint, QStringList> m_glyphs;  // by code point: 8 rows of 7 characters, '#' lit

private Q_SLOTS:
    // Every Apple II character is drawn, as 8 rows of 7 dots: ASCII, the
    // MouseText characters where Mac OS Roman puts the bytes 0x80 to 0x9F, and
    // the apples. Letters, digits and signs keep the dark column on each side
    // and the dark bottom row that keep neighbours apart; only the descenders
    // of g j p q y reach into it.
    void initTestCase()
    {
        m_family = appleFontFamily();
        QVERIFY(!m_family.isEmpty());
        m_glyphs = testsupport::fontDrawings();
        QByteArray bytes;
        for (int byte = 0x20; byte <= 0x9F; ++byte)
            bytes += char(byte == 0x7F ? ' ' : byte);
        for (QChar c : decodeTextScreen(bytes) + QChar(0xE000) + QChar(0xE001)) {
            const QStringList g = m_glyphs.value(c.unicode());
            QVERIFY2(g.size() == 8, name(c.unicode()).constData());
            for (const QString &row : g)
                QVERIFY2(c > '~' || (row.front() == '.' && row.back() == '.'), name(c.unicode()).constData());
            QVERIFY2(c > '~' || g.last().contains('#') == QString("gjpqy").contains(c), name(c.unicode()).constData());
        }
    }

    void glyphsDrawDotForDot_data()
    {
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("antialiased");
        QTest::addColumn<qreal>("scaleX");
        QTest::addColumn<qreal>("scaleY");
        QTest::newRow("8 px") << 8 << false << 1.0 << 1.0;
        QTest::newRow("8 px, antialiased, unhinted") << 8 << true << 1.0 << 1.0;
        QTest::newRow("32 px") << 32 << false << 1.0 << 1.0;
        QTest::newRow("32 px, 80 columns at 1x") << 32 << false << 0.25 << 0.5;
    }

    // The cell is exactly the em: the baseline 7 dots down, every advance 7
    // dots. Each glyph, drawn white on black as the text screen (8 pixels) and
    // the glyph grid (32, scaled) draw it, lights exactly its dots, each a
    // block of dot size, and nothing around the cell.
    void glyphsDrawDotForDot()
    {
        QFETCH(int, pixelSize);
        QFETCH(bool, antialiased);
        QFETCH(qreal, scaleX);
        QFETCH(qreal, scaleY);
        QFont font(m_family);
        font.setPixelSize(pixelSize);
        font.setStyleStrategy(antialiased ? QFont::PreferAntialias : QFont::NoAntialias);
        font.setHintingPreference(antialiased ? QFont::PreferNoHinting : QFont::PreferDefaultHinting);
        const QFontMetrics metrics(font);
        const int dot = pixelSize / 8;
        const QSize cell(qRound(7 * dot * scaleX), qRound(8 * dot * scaleY));
        for (auto it = m_glyphs.cbegin(); it != m_glyphs.cend(); ++it) {
            QVERIFY2(metrics.horizontalAdvance(text(it.key())) == 7 * dot, name(it.key()).constData());
            QImage expected(21, 24, QImage::Format_ARGB32);  // one pixel a dot, a cell of margin all round
            expected.fill(Qt::black);
            for (int r = 0; r < 8; ++r)
                for (int c = 0; c < 7; ++c)
                    expected.setPixelColor(7 + c, 8 + r, it.value()[r][c] == '#' ? Qt::white : Qt::black);
            QImage drawn(3 * cell, QImage::Format_ARGB32);
            drawn.fill(Qt::black);
            QPainter painter(&drawn);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.translate(cell.width(), cell.height());
            painter.scale(scaleX, scaleY);
            painter.drawText(0, 7 * dot, text(it.key()));
            painter.end();
            QVERIFY2(drawn == expected.scaled(drawn.size()), name(it.key()).constData());
        }
    }

    void screenLayout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("screen");
        const QString inv(inverseOf(' '));
        QTest::newRow("41st column ignored") << inv.repeated(39) + " " + inv << QString(39, '#');
        QTest::newRow("81st column ignored") << "80" + QString(79, ' ') + inv + inv << QString(79, '.') + '#';
        QTest::newRow("25th row ignored") << QStringList(25, inv).join('\n') << QStringList(24, "#").join('/');
        QTest::newRow("empty rows count, short rows stay dark") << "\n\n " + inv + "\n" + inv << "//.#/#";
        QTest::newRow("\"8\" alone is a character") << "8" + inv << "?#";
        QTest::newRow("\"80\" only at the start") << inv + "80" << "#??";
    }

    // Whatever the picture was, it is replaced whole; the view options stay.
    void screenLayout()
    {
        QFETCH(QString, text);
        QFETCH(QString, screen);
        PictureState s;
        s.auxMemory.fill(0xFF);
        s.mainMemory.fill(0xFF);
        const bool dhgr = text.startsWith("80");  // the mark of 80 columns, drawn as DHGR
        s.isDhgr = !dhgr;
        s.bitShifting = false;
        const ViewOptions options = s.viewOptions();
        renderTextScreen(s, text, m_family);
        QCOMPARE(s.isDhgr, dhgr);
        QCOMPARE(s.viewOptions(), options);
        QCOMPARE(screenCells(s), screen);
        QCOMPARE(s.mainMemory[120], uchar(0));
    }

    // A known line of text in a text screen of 80 columns and in an inverse one
    // of 40, dot for dot, against the drawings; without the font the default
    // one still draws the letters.
    void screenGlyphs()
    {
        const QString line("THE QUICK BROWN FOX, 0123456789 ][ jog?");
        for (const bool inverse : {false, true}) {
            QString text = inverse ? "\n\n" : "80\n\n";
            for (QChar c : line)
                text += inverse ? inverseOf(c) : c;
            PictureState s;
            renderTextScreen(s, text, m_family);
            for (int c = 0; c < line.size(); ++c) {
                QString expected = m_glyphs.value(line.at(c).unicode()).join('\n');
                if (inverse)
                    expected.replace('#', 'x').replace('.', '#').replace('x', '.');
                QCOMPARE(cellDots(s, 2, c), expected);
            }
            renderTextScreen(s, text, QString());
            QVERIFY(screenCells(s).section('/', 2, 2).left(5).contains('?'));
        }
    }
};

QTEST_MAIN(TestFont)
#include "test_font.moc"
