// Text screen files: Mac OS Roman or UTF-8, any line-ending convention.
#include "textcodec.h"
#include "testsupport.h"

#include <QtTest>

namespace {

// Not QString::fromUtf16, which would drop a leading U+FEFF.
QString units(std::initializer_list<char16_t> list) { return QString(reinterpret_cast<const QChar *>(list.begin()), qsizetype(list.size())); }
QString inverse(char c) { return QString(QChar(0xF000 + (c - 0x20))); }
const QString kApples = units({0xE000, 0xE001});

} // namespace

class TestTextCodec : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Well-formed, then one of each fault: overlong, surrogate, past U+10FFFF,
    // bad lead, lone continuation, cut off at the end, bad continuation. After
    // E0, ED, F0 and F4 the second byte's range is narrower: each bound is
    // checked from both sides.
    void validUtf8()
    {
        for (const char *bytes : {"HI\n\x01\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xF0\x90\x80\x80",
                                  "\xF4\x8F\xBF\xBF"})
            QVERIFY2(isValidUtf8(bytes), QByteArray(bytes).toHex(' ').constData());
        for (const char *bytes : {"\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
                                  "\xFF", "\xC3\xA9\x80", "AB\xC3", "AB\xF0\x9F\x98", "\xC3" "A", "\xE2\x82\x28", "\xF0\x9F\x98\x28"})
            QVERIFY2(!isValidUtf8(bytes), QByteArray(bytes).toHex(' ').constData());
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF") << QByteArray("AB\r\nCD\r\n") << QStringLiteral("AB\nCD\n");
        QTest::newRow("lone CR") << QByteArray("AB\rCD\r") << QStringLiteral("AB\nCD\n");
        QTest::newRow("mixed") << QByteArray("A\r\nB\rC\nD\n\rE\r\r\nF") << QStringLiteral("A\nB\nC\nD\n\nE\n\nF");
        QTest::newRow("byte-order mark, CR LF") << QByteArray("\xEF\xBB\xBF" "A\r\nB") << QStringLiteral("A\nB");
        QTest::newRow("UTF-8 inverse and MouseText")
            << QByteArray("80\xEF\x80\xA1\xC3\x84") << QStringLiteral("80") + inverse('A') + QChar(0xC4);
        QTest::newRow("one stray byte sends all through Mac OS Roman")
            << QByteArray("\xC3\xA9 \x80") << units({0x221A, 0x00A9, 0x20, 0x00C4});
        QTest::newRow("Mac OS Roman bytes that form UTF-8") << QByteArray("\xC2\x80") << units({0x80});
        QTest::newRow("Mac OS Roman apples, MouseText, ohm") << QByteArray("\x11\x12\x80\x9F\xBD") << kApples + units({0xC4, 0xFC, 0x2126});
        QTest::newRow("apples in UTF-8") << QByteArray("\x11\x12\xC3\x84") << kApples + QChar(0xC4);
        QTest::newRow("other controls kept") << QByteArray("\x01\x1B") << units({0x01, 0x1B});
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeTextScreen(bytes), text);
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("macRoman");
        QTest::newRow("ascii, tab, DEL") << QStringLiteral("HI\n\nA\tB\x7F~") << QByteArray("HI\n\nA\tB\x7F~") << true;
        QTest::newRow("MouseText, apples, ohm, euro, logo")
            << units({0xC4, 0xFC, 0xE000, 0xE001, 0x2126, 0x20AC, 0xF8FF}) << QByteArray("\x80\x9F\x11\x12\xBD\xDB\xF0") << true;
        QTest::newRow("omega, emoji") << units({0x03A9, 0xD83C, 0xDF4E}) << QByteArray("\xCE\xA9\xF0\x9F\x8D\x8E") << false;
        // Everything is UTF-8 from the start once one character has no byte.
        QTest::newRow("inverse mid-text") << QChar(0xC4) + inverse('A') + QStringLiteral("\t") + QChar(0xE000)
                                          << QByteArray("\xC3\x84\xEF\x80\xA1\t\xEE\x80\x80") << false;
        QTest::newRow("control character") << units({0x41, 0x01}) << QByteArray("A\x01") << false;
        // As Mac OS Roman this would be C2 80, which reads back as U+0080.
        QTest::newRow("Mac OS Roman that would read as UTF-8") << units({0xAC, 0xC4}) << QByteArray("\xC2\xAC\xC3\x84") << false;
        // As Mac OS Roman this would be EF BB BF FF, a byte-order mark and "ˇ".
        QTest::newRow("Mac OS Roman that would read as a byte-order mark")
            << units({0xD4, 0xAA, 0xF8, 0x2C7}) << QByteArray("\xC3\x94\xC2\xAA\xC3\xB8\xCB\x87") << false;
        // The reader drops one mark and Qt's UTF-8 decoder the next.
        QTest::newRow("text that begins with a byte-order mark")
            << units({0xFEFF, 0x41}) << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF" "A") << false;
    }

    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, macRoman);
        bool flag = !macRoman;
        QCOMPARE(encodeTextScreen(text, &flag), bytes);
        QCOMPARE(flag, macRoman);
        QCOMPARE(encodeTextScreen(text), bytes);
        QCOMPARE(decodeTextScreen(bytes), text);
    }

    // Every byte a Mac OS Roman screen can hold comes back as itself.
    void macRomanBytesRoundTrip()
    {
        QByteArray bytes("\t\x11\x12 ~\n");
        for (int byte = 0x80; byte <= 0xFF; ++byte)
            bytes += char(byte);
        bool macRoman = false;
        QCOMPARE(encodeTextScreen(decodeTextScreen(bytes), &macRoman), bytes);
        QVERIFY(macRoman);
    }

    // Help and credit screens written on other machines, with CR LF and LF.
    void realFiles()
    {
        for (const auto &[name, lineCount] : {std::pair("AF", 23), std::pair("CREDITS", 25)}) {
            QByteArray bytes = testsupport::readFile(testsupport::corpusDir() + QStringLiteral("/text/") + name);
            if (bytes.isEmpty())
                QSKIP("the corpus of real text files is not available");
            const QString text = decodeTextScreen(bytes);
            const QStringList lines = text.split(QLatin1Char('\n'));
            QCOMPARE(lines.size(), lineCount);
            for (const QString &line : lines)
                QVERIFY2(line.size() <= 40, qPrintable(line));
            bool macRoman = false;
            QCOMPARE(encodeTextScreen(text, &macRoman), bytes.replace("\r\n", "\n"));
            QVERIFY(macRoman);
        }
    }
};

QTEST_GUILESS_MAIN(TestTextCodec)
#include "test_textcodec.moc"
