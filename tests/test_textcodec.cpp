#include "textcodec.h"
#include "testsupport.h"

#include <QtTest>

// Text screen files: Mac OS Roman or UTF-8, any line-ending convention.
class TestTextCodec : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void macRomanBytes_data();
    void macRomanBytes();
    void everyMacRomanByteRoundTrips();
    void validUtf8_data();
    void validUtf8();
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void roundTrip_data();
    void roundTrip();
    void realFiles_data();
    void realFiles();
};

namespace {

QString fromUnits(std::initializer_list<char16_t> units)
{
    QString s;
    for (char16_t u : units)
        s.append(QChar(u));
    return s;
}

QString inverse(char c)
{
    return QString(QChar(0xF000 + (c - 0x20)));
}

const QChar kSolidApple(0xE000);
const QChar kOpenApple(0xE001);

} // namespace

void TestTextCodec::macRomanBytes_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unit");
    QTest::newRow("first MouseText") << 0x80 << 0x00C4;
    QTest::newRow("last MouseText") << 0x9F << 0x00FC;
    QTest::newRow("dagger") << 0xA0 << 0x2020;
    QTest::newRow("ohm sign, not omega") << 0xBD << 0x2126;
    QTest::newRow("no-break space") << 0xCA << 0x00A0;
    QTest::newRow("euro sign") << 0xDB << 0x20AC;
    QTest::newRow("apple logo") << 0xF0 << 0xF8FF;
    QTest::newRow("caron") << 0xFF << 0x02C7;
    QTest::newRow("control byte kept") << 0x01 << 0x0001;
}

void TestTextCodec::macRomanBytes()
{
    QFETCH(int, byte);
    QFETCH(int, unit);
    QCOMPARE(int(macRomanChar(uchar(byte)).unicode()), unit);
}

// Catches a missing, duplicated or unsorted entry of the encoder's table.
void TestTextCodec::everyMacRomanByteRoundTrips()
{
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        bool macRoman = false;
        const QByteArray bytes = encodeTextScreen(QString(macRomanChar(uchar(byte))), &macRoman);
        QVERIFY2(macRoman, qPrintable(QString::number(byte, 16)));
        QCOMPARE(bytes, QByteArray(1, char(byte)));
        QCOMPARE(decodeTextScreen(bytes), QString(macRomanChar(uchar(byte))));
    }
}

void TestTextCodec::validUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("ascii") << QByteArray("HELLO\n\x01\x7F") << true;
    QTest::newRow("smallest two-byte") << QByteArray("\xC2\x80") << true;
    QTest::newRow("largest two-byte") << QByteArray("\xDF\xBF") << true;
    QTest::newRow("smallest three-byte") << QByteArray("\xE0\xA0\x80") << true;
    QTest::newRow("last before surrogates") << QByteArray("\xED\x9F\xBF") << true;
    QTest::newRow("first after surrogates") << QByteArray("\xEE\x80\x80") << true;
    QTest::newRow("inverse character") << QByteArray("\xEF\x80\xA1") << true;
    QTest::newRow("smallest four-byte") << QByteArray("\xF0\x90\x80\x80") << true;
    QTest::newRow("U+10FFFF") << QByteArray("\xF4\x8F\xBF\xBF") << true;
    QTest::newRow("overlong C0") << QByteArray("\xC0\x80") << false;
    QTest::newRow("overlong C1") << QByteArray("\xC1\xBF") << false;
    QTest::newRow("overlong three-byte") << QByteArray("\xE0\x80\x80") << false;
    QTest::newRow("overlong three-byte high") << QByteArray("\xE0\x9F\xBF") << false;
    QTest::newRow("overlong four-byte") << QByteArray("\xF0\x80\x80\x80") << false;
    QTest::newRow("overlong four-byte high") << QByteArray("\xF0\x8F\xBF\xBF") << false;
    QTest::newRow("first surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("last surrogate") << QByteArray("\xED\xBF\xBF") << false;
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("lead F5") << QByteArray("\xF5\x80\x80\x80") << false;
    QTest::newRow("lead F8") << QByteArray("\xF8\x88\x80\x80\x80") << false;
    QTest::newRow("lead FE") << QByteArray("\xFE") << false;
    QTest::newRow("lead FF") << QByteArray("\xFF") << false;
    QTest::newRow("lone continuation 80") << QByteArray("A\x80Z") << false;
    QTest::newRow("lone continuation BF") << QByteArray("\xBF") << false;
    QTest::newRow("two-byte cut at end") << QByteArray("AB\xC3") << false;
    QTest::newRow("three-byte cut at end") << QByteArray("AB\xE2\x82") << false;
    QTest::newRow("four-byte cut at end") << QByteArray("AB\xF0\x9F\x98") << false;
    QTest::newRow("two-byte cut by ascii") << QByteArray("\xC3" "A") << false;
    QTest::newRow("three-byte bad second") << QByteArray("\xE2\x28\xA1") << false;
    QTest::newRow("three-byte bad third") << QByteArray("\xE2\x82\x28") << false;
    QTest::newRow("four-byte bad fourth") << QByteArray("\xF0\x9F\x98\x28") << false;
    QTest::newRow("valid then stray") << QByteArray("\xC3\xA9\xC3\xA9\x80") << false;
}

void TestTextCodec::validUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(isValidUtf8(bytes), valid);
}

void TestTextCodec::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("LF") << QByteArray("AB\nCD") << QStringLiteral("AB\nCD");
    QTest::newRow("CR LF") << QByteArray("AB\r\nCD\r\n") << QStringLiteral("AB\nCD\n");
    QTest::newRow("lone CR") << QByteArray("AB\rCD\r") << QStringLiteral("AB\nCD\n");
    QTest::newRow("mixed") << QByteArray("A\r\nB\rC\nD\n\rE") << QStringLiteral("A\nB\nC\nD\n\nE");
    QTest::newRow("CR CR LF") << QByteArray("A\r\r\nB") << QStringLiteral("A\n\nB");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFHI") << QStringLiteral("HI");
    QTest::newRow("byte-order mark alone") << QByteArray("\xEF\xBB\xBF") << QString();
    QTest::newRow("byte-order mark then CR LF")
        << QByteArray("\xEF\xBB\xBF" "A\r\nB") << QStringLiteral("A\nB");
    QTest::newRow("UTF-8 inverse and MouseText")
        << QByteArray("80\xEF\x80\xA1\xC3\x84") << (QStringLiteral("80") + inverse('A') + QChar(0xC4));
    QTest::newRow("Mac OS Roman MouseText") << QByteArray("\x80\x9F") << fromUnits({0xC4, 0xFC});
    QTest::newRow("Mac OS Roman ohm") << QByteArray("\xBD") << fromUnits({0x2126});
    QTest::newRow("stray byte sends all through Mac OS Roman")
        << QByteArray("\xC3\xA9 \x80") << fromUnits({0x221A, 0x00A9, 0x20, 0x00C4});
    QTest::newRow("Mac OS Roman bytes that form UTF-8") << QByteArray("\xC2\x80") << fromUnits({0x0080});
    QTest::newRow("apple bytes in Mac OS Roman")
        << QByteArray("\x11\x12\xBD") << (QString(kSolidApple) + kOpenApple + QChar(0x2126));
    QTest::newRow("apple bytes in UTF-8")
        << QByteArray("\x11\x12\xC3\x84") << (QString(kSolidApple) + kOpenApple + QChar(0xC4));
    QTest::newRow("other control bytes kept") << QByteArray("\x01\x1B") << fromUnits({0x01, 0x1B});
}

void TestTextCodec::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeTextScreen(bytes), text);
}

void TestTextCodec::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("macRoman");
    QTest::newRow("empty") << QString() << QByteArray() << true;
    QTest::newRow("ascii rows") << QStringLiteral("HELLO\n\nWORLD ~") << QByteArray("HELLO\n\nWORLD ~") << true;
    QTest::newRow("tab and DEL") << QStringLiteral("A\tB\x7F") << QByteArray("A\tB\x7F") << true;
    QTest::newRow("MouseText and apples")
        << (fromUnits({0xC4, 0xFC}) + kSolidApple + kOpenApple) << QByteArray("\x80\x9F\x11\x12") << true;
    QTest::newRow("ohm sign") << fromUnits({0x2126}) << QByteArray("\xBD") << true;
    QTest::newRow("euro and apple logo") << fromUnits({0x20AC, 0xF8FF}) << QByteArray("\xDB\xF0") << true;
    QTest::newRow("omega") << fromUnits({0x03A9}) << QByteArray("\xCE\xA9") << false;
    QTest::newRow("one inverse makes all UTF-8")
        << (inverse('A') + QChar(0xC4) + kSolidApple + QStringLiteral("B"))
        << QByteArray("\xEF\x80\xA1\xC3\x84\xEE\x80\x80" "B") << false;
    QTest::newRow("first inverse") << inverse(' ') << QByteArray("\xEF\x80\x80") << false;
    QTest::newRow("last inverse") << inverse('~') << QByteArray("\xEF\x81\x9E") << false;
    QTest::newRow("carriage return") << QStringLiteral("A\rB") << QByteArray("A\rB") << false;
    QTest::newRow("control character") << fromUnits({0x41, 0x01}) << QByteArray("A\x01") << false;
    QTest::newRow("character without a byte") << fromUnits({0x0100}) << QByteArray("\xC4\x80") << false;
    // Written as Mac OS Roman these would be C2 80, which reads back as U+0080.
    QTest::newRow("Mac OS Roman that would read as UTF-8")
        << fromUnits({0x00AC, 0x00C4}) << QByteArray("\xC2\xAC\xC3\x84") << false;
}

void TestTextCodec::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, macRoman);
    bool flag = !macRoman;
    QCOMPARE(encodeTextScreen(text, &flag), bytes);
    QCOMPARE(flag, macRoman);
    QCOMPARE(encodeTextScreen(text), bytes);
}

void TestTextCodec::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("macRoman");

    QString allMacRoman;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        allMacRoman += macRomanChar(uchar(byte));
    QString mouseTextRow;
    for (int byte = 0x80; byte <= 0x9F; ++byte)
        mouseTextRow += macRomanChar(uchar(byte));

    QTest::newRow("40 columns, MouseText and apples")
        << (QStringLiteral("  ") + kSolidApple + QStringLiteral("][ READY\n\n") + mouseTextRow) << true;
    QTest::newRow("every Mac OS Roman character") << allMacRoman << true;
    QTest::newRow("tab") << QStringLiteral("A\tB\n\tC") << true;
    QTest::newRow("80 columns, inverse and MouseText")
        << (QStringLiteral("80") + inverse('O') + inverse('K') + QStringLiteral("\n") + mouseTextRow
            + kOpenApple)
        << false;
    QTest::newRow("tab in UTF-8") << (QStringLiteral("\t") + inverse('A')) << false;
    QTest::newRow("omega and ohm") << fromUnits({0x03A9, 0x2126}) << false;
    QTest::newRow("emoji") << QStringLiteral("A \U0001F34E") << false;
    QTest::newRow("lead byte then MouseText") << fromUnits({0x2026, 0x00C4, 0x2014, 0x00C5}) << false;
}

void TestTextCodec::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(bool, macRoman);
    bool flag = !macRoman;
    const QByteArray bytes = encodeTextScreen(text, &flag);
    QCOMPARE(flag, macRoman);
    QCOMPARE(decodeTextScreen(bytes), text);
}

void TestTextCodec::realFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lineCount");
    QTest::newRow("CR LF") << QStringLiteral("AF") << 23;
    QTest::newRow("LF") << QStringLiteral("CREDITS") << 25;
}

// Help and credit screens written on other machines.
void TestTextCodec::realFiles()
{
    QFETCH(QString, name);
    QFETCH(int, lineCount);
    const QString path = testsupport::corpusDir() + QStringLiteral("/text/") + name;
    if (!QFileInfo::exists(path))
        QSKIP(qPrintable(QStringLiteral("real text files not present: ") + path));
    const QByteArray bytes = testsupport::readFile(path);
    QVERIFY(!bytes.isEmpty());

    const QString text = decodeTextScreen(bytes);
    QVERIFY(!text.contains(QLatin1Char('\r')));
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), lineCount);
    for (const QString &line : lines)
        QVERIFY2(line.size() <= 40, qPrintable(line));

    bool macRoman = false;
    QByteArray unixBytes = bytes;
    unixBytes.replace("\r\n", "\n");
    QCOMPARE(encodeTextScreen(text, &macRoman), unixBytes);
    QVERIFY(macRoman);
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "test_textcodec.moc"
