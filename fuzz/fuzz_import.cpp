// Arbitrary bytes as an image file to import: through the reader with its
// limits, and when they decode, framed, adjusted and dithered into picture
// memory with every target.
//
// Input: one byte of settings, then the file's bytes.
//   bits 0-1  target (DHGR, HGR, DHGR mono, HGR mono)
//   bits 2-3  framing (crop, fit, stretch, and crop again)
//   bits 4-5  dithering (none, Floyd-Steinberg, Atkinson, look-ahead)
//   bit 6     adjustments at their extremes
//   bit 7     the crop at the far end
#include "imagefile.h"
#include "imageimporter.h"
#include "quietqt.h"

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_import: %s\n", what);
        std::abort();
    }
}

} // namespace

// The image plugins' warnings about damaged files would be most of what
// a run prints.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quietQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    if (size < 1)
        return 0;
    const quint8 header = data[0];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QImage image;
    QString error;
    if (!decodeImage(bytes, QStringLiteral("fuzzed"), image, error)) {
        check(!error.isEmpty(), "an image refused without a message");
        return 0;
    }
    check(!image.isNull(), "an image read as a success is empty");
    check(qint64(image.width()) * image.height() <= kLargestImagePixels, "an image past the limit was decoded");

    ImportSettings s;
    s.target = ImportTarget(header & 3);
    s.fit = ImportFit(((header >> 2) & 3) % 3);
    s.dither = ImportDither((header >> 4) & 3);
    if (header & 0x40) {
        s.brightness = 100;
        s.contrast = -100;
        s.saturation = 100;
        s.gamma = 5;
    }
    s.cropX = s.cropY = (header & 0x80) ? 1 : -1;
    ImageImporter importer(image);
    const PictureState picture = importer.convert(s, ViewOptions(), ImageImporter::Speed::Preview);
    check(picture.isDhgr == s.isDhgr(), "the picture is not of the kind asked for");
    return 0;
}
