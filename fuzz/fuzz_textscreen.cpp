// Text screen file bytes decoded and drawn into the picture memory in the
// Apple II font: 80 columns as DHGR, 40 as HGR. (The engines that show the
// picture have harnesses of their own.)
#include "fuzzsupport.h"
#include "resourcepath.h"
#include "screentext.h"
#include "textcodec.h"
#include "textscreen.h"

namespace {

QString fontFamily;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::startGuiApplication(argc, argv);
    fontFamily = appleFontFamily();
    fuzz::require(!fontFamily.isEmpty(), "the Apple II font was not found");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    const QString text = decodeTextScreen(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    PictureState state;
    renderTextScreen(state, text, fontFamily);
    fuzz::require(state.isDhgr == (readColumnMark(text).columns == 80), "40 or 80 columns taken wrongly");
    return 0;
}
