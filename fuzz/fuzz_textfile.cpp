// A text screen edited (see textedits.h), saved the way File > Save writes
// it and opened again the way Open Text reads it: the file holds exactly
// the screen text, and the screen it opens as shows every cell as before.
#include "pictureloader.h"
#include "textcodec.h"
#include "textedits.h"
#include "textscreenfile.h"

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    fuzz::Input in{data, size};
    TextScreenModel m;
    for (int steps = 0; !in.done() && steps < 64; ++steps)
        fuzz::applyTextEdit(m, in);

    const QString path = QDir(scratch().path()).filePath(QStringLiteral("SCREEN.TXT"));
    const QString text = m.screenText();
    QString error;
    fuzz::require(writeFileSafely(encodeTextScreen(text), path, error), "the screen was not saved");
    QString reread;
    fuzz::require(readTextScreenFile(path, reread, error), "the saved screen does not open");
    if (reread != text) {
        std::fprintf(stderr, "saved:  %s\nopened: %s\n", text.toUtf8().toHex(' ').constData(),
                     reread.toUtf8().toHex(' ').constData());
        fuzz::require(false, "the file does not hold the screen text");
    }
    TextScreenModel opened;
    opened.setScreenText(reread);
    fuzz::require(opened.columnCount() == m.columnCount(), "the screen opens with other columns");
    for (int row = 0; row < TextScreenModel::kRows; ++row)
        fuzz::require(opened.lines().at(row) == fuzz::shownCells(m.lines().at(row), m.columnCount()),
                      "a row opens other than it showed");
    return 0;
}
