// Text screen files: Mac OS Roman or UTF-8, any line-ending convention.
#include "textcodec.h"

#include <QtTest>

namespace {

// Not QString::fromUtf16, which would drop a leading U+FEFF.
QString units(std::initializer_list<char16_t> list) { return QString(reinterpret_cast<const QChar *>(list.begin()), qsizetype(list.size())); }

} // namespace

class TestTextCodec : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Well-formed, then one of each fault. After E0, ED, F0 and F4 the second
    // byte's range is narrower: each bound is checked from both sides.
    void validUtf8()
    {
        for (const char *bytes : {"HI\n\x01\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xF0\x90\x80\x80",
                                  "\xF4\x8F\xBF\xBF"})
            QVERIFY2(isValidUtf8(bytes), QByteArray(bytes).toHex(' ').constData());
        for (const char *bytes : {"\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
                                  "\xFF", "\xC3\xA9\x80", "AB\xC3", "AB\xF0\x9F\x98", "\xC3" "A", "\xE2\x82\x28", "\xF0\x9F\x98\x28"})
            QVERIFY2(!isValidUtf8(bytes), QByteArray(bytes).toHex(' ').constData());
    }

    // A file's bytes, the screen they read as, and how that screen is saved:
    // back to the same bytes as Mac OS Roman or UTF-8, or (read only) not.
    void codec_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("saved");
        QTest::newRow("mixed line endings") << QByteArray("A\r\nB\rC\nD\n\rE\r\r\nF") << "A\nB\nC\nD\n\nE\n\nF" << "read only";
        QTest::newRow("byte-order mark, CR LF") << QByteArray("\xEF\xBB\xBF" "A\r\nB") << "A\nB" << "read only";
        QTest::newRow("one stray byte sends all through Mac OS Roman")
            << QByteArray("\xC3\xA9 \x80") << units({0x221A, 0x00A9, 0x20, 0x00C4}) << "Mac OS Roman";
        QTest::newRow("apples in UTF-8") << QByteArray("\x11\x12\xC3\x84") << units({0xE000, 0xE001, 0xC4}) << "read only";
        QTest::newRow("MouseText, ohm, euro, logo")
            << QByteArray("\x80\x9F\xBD\xDB\xF0") << units({0xC4, 0xFC, 0x2126, 0x20AC, 0xF8FF}) << "Mac OS Roman";
        // Every byte a Mac OS Roman screen can hold comes back as itself.
        QByteArray high("\t\x11\x12 ~\x7F\n\n");
        for (int byte = 0x80; byte <= 0xFF; ++byte)
            high += char(byte);
        QTest::newRow("every Mac OS Roman byte") << high << decodeTextScreen(high) << "Mac OS Roman";
        QTest::newRow("omega, emoji") << QByteArray("\xCE\xA9\xF0\x9F\x8D\x8E") << units({0x03A9, 0xD83C, 0xDF4E}) << "UTF-8";
        QTest::newRow("other controls") << QByteArray("A\x01\x1B") << units({0x41, 0x01, 0x1B}) << "UTF-8";
        // Everything is UTF-8 from the start once one character (here F021, an inverse "A") has no byte.
        QTest::newRow("inverse mid-text")
            << QByteArray("\xC3\x84\xEF\x80\xA1\t\xEE\x80\x80") << units({0xC4, 0xF021, '\t', 0xE000}) << "UTF-8";
        // Mac OS Roman bytes that form UTF-8 are read as UTF-8, so a screen whose
        // Mac OS Roman bytes would read back as something else is saved as UTF-8:
        // "¬Ä" would be C2 80, U+0080; "Ôªøˇ" EF BB BF FF, a byte-order mark and "ˇ".
        QTest::newRow("Mac OS Roman that would read as UTF-8") << QByteArray("\xC2\xAC\xC3\x84") << units({0xAC, 0xC4}) << "UTF-8";
        QTest::newRow("Mac OS Roman that would read as a byte-order mark")
            << QByteArray("\xC3\x94\xC2\xAA\xC3\xB8\xCB\x87") << units({0xD4, 0xAA, 0xF8, 0x2C7}) << "UTF-8";
        // The reader drops one mark and Qt's UTF-8 decoder the next.
        QTest::newRow("text that begins with a byte-order mark")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF" "A") << units({0xFEFF, 0x41}) << "UTF-8";
    }

    void codec()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, saved);
        QCOMPARE(decodeTextScreen(bytes), text);
        if (saved == "read only")
            return;
        bool macRoman = saved != "Mac OS Roman";
        QCOMPARE(encodeTextScreen(text, &macRoman), bytes);
        QCOMPARE(macRoman, saved == "Mac OS Roman");
    }
};

QTEST_GUILESS_MAIN(TestTextCodec)
#include "test_textcodec.moc"
