// Text screen file bytes through the codec: whatever a file decodes to must
// be saved so that it reads back exactly the same.
#include "textcodec.h"

#include <cstdio>
#include <cstdlib>

namespace {

void printHex(const char *label, const QByteArray &bytes)
{
    std::fprintf(stderr, "%s %s\n", label, bytes.toHex(' ').constData());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = decodeTextScreen(file);
    bool macRoman = false;
    const QByteArray saved = encodeTextScreen(text, &macRoman);
    const QString reread = decodeTextScreen(saved);
    if (reread != text) {
        std::fprintf(stderr, "fuzz_textcodec: the screen text does not come back after saving (%s)\n",
                     macRoman ? "Mac OS Roman" : "UTF-8");
        printHex("file:   ", file);
        printHex("text:   ", text.toUtf8());
        printHex("saved:  ", saved);
        printHex("reread: ", reread.toUtf8());
        std::abort();
    }
    return 0;
}
