// Text screen file bytes decoded and drawn into the picture memory in the
// Apple II font, then rendered.
#include "picturestate.h"
#include "render.h"
#include "resourcepath.h"
#include "textcodec.h"
#include "textscreen.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>

namespace {

QString fontFamily;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own thread storage is gone before a
    // static application would be.
    new QGuiApplication(*argc, *argv);
    fontFamily = appleFontFamily();
    if (fontFamily.isEmpty()) {
        std::fprintf(stderr, "fuzz_textscreen: the Apple II font was not found\n");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QString text = decodeTextScreen(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    PictureState state;
    renderTextScreen(state, text, fontFamily);
    if (state.isDhgr != text.startsWith(QLatin1String("80"))) {
        std::fprintf(stderr, "fuzz_textscreen: 40 or 80 columns taken wrongly\n");
        std::abort();
    }
    QImage frame;
    renderPicture(state, frame);
    return 0;
}
