// The Apple II font: its dot drawings in tools/font/glyphs.txt must come out
// of the TrueType file exactly, dot for dot, at the sizes the program draws.
#include "testsupport.h"

#include <QFontDatabase>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

namespace {

// The MouseText characters sit where Mac OS Roman puts the bytes 0x80 to 0x9F.
const char32_t kMouseText[32] = {0xC4, 0xC5, 0xC7, 0xC9, 0xD1, 0xD6, 0xDC, 0xE1, 0xE0, 0xE2, 0xE4,
                                 0xE3, 0xE5, 0xE7, 0xE9, 0xE8, 0xEA, 0xEB, 0xED, 0xEC, 0xEE, 0xEF,
                                 0xF1, 0xF3, 0xF2, 0xF4, 0xF6, 0xF5, 0xFA, 0xF9, 0xFB, 0xFC};

QString text(char32_t cp) { return QString::fromUcs4(&cp, 1); }
QByteArray name(uint cp) { return "U+" + QByteArray::number(cp, 16).toUpper().rightJustified(4, '0'); }

} // namespace

class TestFont : public QObject {
    Q_OBJECT

    QString m_family;
    QMap<uint, QStringList> m_glyphs;

private Q_SLOTS:
    void initTestCase()
    {
        m_glyphs = testsupport::fontDrawings();
        const int id = QFontDatabase::addApplicationFont(testsupport::sourceDir() + "/source/resources/Apple_II.ttf");
        QVERIFY(id >= 0);
        m_family = QFontDatabase::applicationFontFamilies(id).value(0);
        QVERIFY(!m_family.isEmpty());
    }

    // Every Apple II character is drawn, as 8 rows of 7 dots. Letters, digits
    // and signs keep the dark column on each side and the dark bottom row that
    // keep neighbours apart; only the descenders of g j p q y reach into it.
    void drawings()
    {
        QList<uint> required{0xE000, 0xE001};
        for (uint cp = 0x20; cp <= 0x7E; ++cp)
            required << cp;
        for (char32_t cp : kMouseText)
            required << cp;
        static const QRegularExpression cell(QStringLiteral("^([#.]{7}\n){8}$"));
        for (uint cp : required)
            QVERIFY2(cell.match(m_glyphs.value(cp).join('\n') + '\n').hasMatch(), name(cp).constData());
        for (uint cp = 0x20; cp <= 0x7E; ++cp) {
            const QStringList g = m_glyphs.value(cp);
            for (const QString &row : g)
                QVERIFY2(row.front() == '.' && row.back() == '.', name(cp).constData());
            QVERIFY2(g.last().contains('#') == QByteArray("gjpqy").contains(char(cp)), name(cp).constData());
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
    // dots. Each glyph drawn as a text screen draws it (white on black,
    // baseline at the cell top plus the ascent), at 8 pixels for the screen
    // and at 32, scaled, for the glyph grid, lights exactly its dots, each a
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
        QCOMPARE(metrics.ascent(), 7 * dot);
        QCOMPARE(metrics.descent(), dot);
        const int dotWidth = qRound(dot * scaleX);
        const int dotHeight = qRound(dot * scaleY);
        const QSize cell(7 * dotWidth, 8 * dotHeight);
        for (auto it = m_glyphs.cbegin(); it != m_glyphs.cend(); ++it) {
            QVERIFY2(metrics.horizontalAdvance(text(it.key())) == 7 * dot, name(it.key()).constData());
            QImage drawn(3 * cell, QImage::Format_ARGB32);  // a cell of margin all round
            drawn.fill(Qt::black);
            QImage expected = drawn;
            QPainter painter(&drawn);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.translate(cell.width(), cell.height());
            painter.scale(scaleX, scaleY);
            painter.drawText(0, 7 * dot, text(it.key()));
            painter.end();
            painter.begin(&expected);
            for (int r = 0; r < 8; ++r)
                for (int c = 0; c < 7; ++c)
                    if (it.value()[r][c] == '#')
                        painter.fillRect(cell.width() + c * dotWidth, cell.height() + r * dotHeight, dotWidth, dotHeight, Qt::white);
            painter.end();
            QVERIFY2(drawn == expected, name(it.key()).constData());
        }
    }
};

QTEST_MAIN(TestFont)
#include "test_font.moc"
