// The Apple II font: its dot drawings in tools/font/glyphs.txt must come out
// of the TrueType file exactly, dot for dot, at the sizes the program draws.

#include "testsupport.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>

namespace {

constexpr int kCellWidth = 7;
constexpr int kCellHeight = 8;

using Glyph = QStringList; // 8 rows of 7 characters, '#' lit

// Reads the dot drawings; on a malformed file returns an empty map and says
// where in *error.
QMap<char32_t, Glyph> parseGlyphs(const QString &text, QString *error)
{
    static const QRegularExpression header(QStringLiteral("^U\\+([0-9A-F]{4,6})( \\S.*)?$"));
    static const QRegularExpression row(QStringLiteral("^[#.]{7}$"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    QMap<char32_t, Glyph> glyphs;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i];
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto match = header.match(line);
        if (!match.hasMatch()) {
            *error = QStringLiteral("line %1: not a glyph header: %2").arg(i + 1).arg(line);
            return {};
        }
        const char32_t codePoint = match.captured(1).toUInt(nullptr, 16);
        Glyph glyph = lines.mid(i + 1, kCellHeight);
        for (int r = 0; r < kCellHeight; ++r) {
            if (r >= glyph.size() || !row.match(glyph[r]).hasMatch()) {
                *error = QStringLiteral("line %1: row %2 of %3 is not 7 dots")
                             .arg(i + 2 + r).arg(r).arg(line);
                return {};
            }
        }
        if (glyphs.contains(codePoint)) {
            *error = QStringLiteral("line %1: %2 drawn twice").arg(i + 1).arg(line);
            return {};
        }
        glyphs.insert(codePoint, glyph);
        i += kCellHeight;
    }
    return glyphs;
}

QString codePointName(char32_t cp)
{
    return QStringLiteral("U+%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
}

// The MouseText characters sit at the code points Mac OS Roman gives the
// bytes 0x80 to 0x9F.
const char32_t kMouseText[32] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,
};

QList<char32_t> requiredCodePoints()
{
    QList<char32_t> all;
    for (char32_t c = 0x20; c <= 0x7E; ++c)
        all.append(c);
    for (char32_t c : kMouseText)
        all.append(c);
    all.append(0xE000);
    all.append(0xE001);
    return all;
}

QString text(char32_t cp) { return QString::fromUcs4(&cp, 1); }

// Compares an image holding one drawn cell, framed by a margin of one cell
// all round, with the glyph's dots scaled to dotWidth x dotHeight pixels.
// Returns where the first wrong pixel is, or an empty string.
QString firstWrongPixel(const QImage &image, const Glyph &glyph, int dotWidth, int dotHeight)
{
    const int cellWidth = kCellWidth * dotWidth;
    const int cellHeight = kCellHeight * dotHeight;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int cx = x - cellWidth;
            const int cy = y - cellHeight;
            const bool inCell = cx >= 0 && cx < cellWidth && cy >= 0 && cy < cellHeight;
            const bool expected = inCell && glyph[cy / dotHeight][cx / dotWidth] == '#';
            const QRgb rgb = image.pixel(x, y) & 0xFFFFFF;
            if (rgb != (expected ? 0xFFFFFFu : 0u))
                return QStringLiteral(" pixel (%1, %2) of the cell is #%3, expected %4")
                    .arg(cx).arg(cy)
                    .arg(rgb, 6, 16, QLatin1Char('0'))
                    .arg(expected ? "white" : "black");
        }
    }
    return {};
}

} // namespace

class TestFont : public QObject
{
    Q_OBJECT

private:
    QString m_family;
    QMap<char32_t, Glyph> m_glyphs;

    QFont font(int pixelSize, QFont::StyleStrategy strategy,
               QFont::HintingPreference hinting = QFont::PreferDefaultHinting) const
    {
        QFont f(m_family);
        f.setPixelSize(pixelSize);
        f.setStyleStrategy(strategy);
        f.setHintingPreference(hinting);
        return f;
    }

private slots:
    void initTestCase()
    {
        QString error;
        m_glyphs = parseGlyphs(
            QString::fromUtf8(testsupport::readFile(testsupport::sourceDir() + "/tools/font/glyphs.txt")),
            &error);
        QVERIFY2(!m_glyphs.isEmpty(), qPrintable("tools/font/glyphs.txt: " + error));

        const int id = QFontDatabase::addApplicationFont(
            testsupport::sourceDir() + "/source/resources/Apple_II.ttf");
        QVERIFY2(id >= 0, "source/resources/Apple_II.ttf does not load");
        m_family = QFontDatabase::applicationFontFamilies(id).value(0);
        QVERIFY(!m_family.isEmpty());
    }

    void coversTheAppleCharacterSet()
    {
        QStringList missing;
        for (char32_t cp : requiredCodePoints()) {
            if (!m_glyphs.contains(cp))
                missing << codePointName(cp);
        }
        QVERIFY2(missing.isEmpty(), qPrintable("not drawn: " + missing.join(' ')));
    }

    // Letters, digits and signs keep the machine's dark column on each side
    // and its dark bottom row, so that neighbouring characters never touch;
    // only the descenders of g j p q y reach into the bottom row.
    void lettersLeaveTheCellMargins()
    {
        const QString descenders = QStringLiteral("gjpqy");
        QStringList faults;
        for (char32_t cp = 0x20; cp <= 0x7E; ++cp) {
            const Glyph g = m_glyphs.value(cp);
            if (g.isEmpty())
                continue;
            for (int r = 0; r < kCellHeight; ++r) {
                if (g[r][0] == '#' || g[r][kCellWidth - 1] == '#')
                    faults << QStringLiteral("%1 row %2 touches the side").arg(codePointName(cp)).arg(r);
            }
            const bool descends = descenders.contains(QChar(char16_t(cp)));
            if (g[kCellHeight - 1].contains('#') != descends)
                faults << QStringLiteral("%1 bottom row %2").arg(codePointName(cp),
                                                                   descends ? "empty" : "lit");
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    }

    // At pixel size 8 one dot is one pixel; the glyph grid's text is drawn
    // at 32 and scaled. The cell must be exactly the em: the baseline sits
    // 7 dots down and every character advances 7 dots.
    void metrics_data()
    {
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("8") << 8;
        QTest::newRow("32") << 32;
    }

    void metrics()
    {
        QFETCH(int, pixelSize);
        const int dot = pixelSize / kCellHeight;
        const QFontMetrics fm(font(pixelSize, QFont::NoAntialias));
        QCOMPARE(fm.ascent(), 7 * dot);
        QCOMPARE(fm.descent(), 1 * dot);
        QCOMPARE(fm.height(), pixelSize);
        QStringList faults;
        for (auto it = m_glyphs.cbegin(); it != m_glyphs.cend(); ++it) {
            if (fm.horizontalAdvance(text(it.key())) != kCellWidth * dot)
                faults << codePointName(it.key());
        }
        QVERIFY2(faults.isEmpty(), qPrintable("advance not 7 dots: " + faults.join(' ')));
    }

    // Every glyph is drawn the way the program draws a text screen: a white
    // one-character string on black, baseline at the cell top plus the
    // ascent, with the painter scaled the way the text grid scales it. The
    // lit pixels must be exactly the drawing's dots, each dot a block of
    // dotWidth x dotHeight pixels, and nothing may spill out of the cell,
    // whatever hinting the platform prefers.
    void glyphsDrawDotForDot_data()
    {
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<int>("strategy");
        QTest::addColumn<int>("hinting");
        QTest::addColumn<qreal>("scaleX");
        QTest::addColumn<qreal>("scaleY");
        const int screen = QFont::NoAntialias;
        const int grid = QFont::NoAntialias | QFont::NoFontMerging;
        const int hinted = QFont::PreferDefaultHinting;
        QTest::newRow("screen, 8 px") << 8 << screen << hinted << 1.0 << 1.0;
        QTest::newRow("screen, 8 px, antialiased") << 8 << int(QFont::PreferDefault) << hinted << 1.0 << 1.0;
        QTest::newRow("screen, 8 px, no hinting") << 8 << screen << int(QFont::PreferNoHinting) << 1.0 << 1.0;
        QTest::newRow("screen, 8 px, vertical hinting")
            << 8 << screen << int(QFont::PreferVerticalHinting) << 1.0 << 1.0;
        QTest::newRow("screen, 8 px, full hinting") << 8 << screen << int(QFont::PreferFullHinting) << 1.0 << 1.0;
        QTest::newRow("grid, 32 px") << 32 << grid << hinted << 1.0 << 1.0;
        QTest::newRow("grid, 32 px, full hinting") << 32 << grid << int(QFont::PreferFullHinting) << 1.0 << 1.0;
        QTest::newRow("grid, 40 columns at 1x") << 32 << grid << hinted << 0.5 << 0.5;
        QTest::newRow("grid, 80 columns at 1x") << 32 << grid << hinted << 0.25 << 0.5;
        QTest::newRow("grid, 80 columns at 2x") << 32 << grid << hinted << 0.5 << 1.0;
    }

    void glyphsDrawDotForDot()
    {
        QFETCH(int, pixelSize);
        QFETCH(int, strategy);
        QFETCH(int, hinting);
        QFETCH(qreal, scaleX);
        QFETCH(qreal, scaleY);
        const QFont f = font(pixelSize, QFont::StyleStrategy(strategy), QFont::HintingPreference(hinting));
        const int ascent = QFontMetrics(f).ascent();
        const int dotWidth = qRound(pixelSize / kCellHeight * scaleX);
        const int dotHeight = qRound(pixelSize / kCellHeight * scaleY);
        const int cellWidth = kCellWidth * dotWidth;
        const int cellHeight = kCellHeight * dotHeight;

        QStringList faults;
        for (auto it = m_glyphs.cbegin(); it != m_glyphs.cend(); ++it) {
            // A margin of one cell all round catches any spill.
            QImage image(3 * cellWidth, 3 * cellHeight, QImage::Format_ARGB32);
            image.fill(Qt::black);
            {
                QPainter painter(&image);
                painter.setFont(f);
                painter.setPen(Qt::white);
                painter.translate(cellWidth, cellHeight);
                painter.scale(scaleX, scaleY);
                painter.drawText(0, ascent, text(it.key()));
            }
            const QString fault = firstWrongPixel(image, it.value(), dotWidth, dotHeight);
            if (!fault.isEmpty())
                faults << codePointName(it.key()) + fault;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

QTEST_MAIN(TestFont)
#include "test_font.moc"
