// Packed data of any content through PackBytes and LZ4FH, into outputs of
// the sizes pictures have and into tiny ones: neither unpacker writes past
// its output or reads past its input, and a refusal always says why.
//
// Input: a byte picking the output size (an HGR page, a DHGR pair, or 0 to
// 63 bytes), then the packed data.
#include "unpack.h"

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_unpack: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    if (size == 0)
        return 0;
    const int pick = data[0];
    const qsizetype capacity = pick == 0 ? 8192 : pick == 1 ? 16384 : pick % 64;
    // The packed bytes in an array of their own, so that the sanitizer sees
    // any read past them.
    const QByteArray packed(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    for (bool lz4fh : {false, true}) {
        QByteArray out(capacity, '\0');
        QString error;
        const qsizetype n = lz4fh ? unpackLz4fh(packed, out, error) : unpackPackBytes(packed, out, error);
        check(n >= -1 && n <= capacity, "a count outside the output");
        check(out.size() == capacity, "the output changed size");
        check((n < 0) == !error.isEmpty(), "a refusal without a reason, or a reason without a refusal");
    }
    return 0;
}
