// The picture edits on any picture: the drawing tools from anywhere (far
// outside the picture too), the HGR to DHGR conversion, both shifts and the
// pointer readout and eyedropper, in any order. Built twice: with the line
// and the outline (fuzz_edits), and with the tools that paint areas, the
// filled rectangle and the fill (fuzz_fill), whose every run costs as much
// as the area painted. A shape drawn again changes
// nothing more, nor does a colour fill (a fill of single dots lights only
// the dots of the colour's phases, so the seed may look otherwise after it
// and a second fill take in more); the conversion leaves a DHGR picture;
// all the edits as one step of the history are undone and redone exactly.
//
// Input: a flags byte (bit 0 DHGR, bit 1 560 mode, bit 2 table engines,
// bit 3 monochrome), a count byte (edits, at most 8), the edits, then the
// memory (see fuzz::fillMemory). An edit is a byte and its arguments:
//   0-3  a line or an outline (a filled rectangle or a fill): a colour byte
//        and two positions of two 32-bit integers (a fill uses the first)
//   4    convert to DHGR
//   5, 6 shift left, shift right
//   7    the readout and the eyedropper at a position
#include "fuzzsupport.h"
#include "picturechange.h"
#include "pictureedit.h"
#include "picturesnapshot.h"
#include "picturetools.h"
#include "pointerreadout.h"

namespace {

constexpr int kMostEdits = 8;
constexpr size_t kEditBytes = 18;  // the largest: a shape

constexpr Tool kDrawingTools[] = {MORVO_FUZZ_AREAS ? Tool::FilledRectangle : Tool::Line,
                                  MORVO_FUZZ_AREAS ? Tool::Fill : Tool::Rectangle};

void draw(PictureState &state, Tool tool, QPoint from, QPoint to, int colour)
{
    if (tool == Tool::Fill)
        floodFill(state, from, colour);
    else
        shapeDrawing(tool)(state, from, to, colour);
}

void look(const PictureState &state, QPoint at)
{
    const PointerReadout readout = PointerReadout::at(state, at);
    fuzz::require(readout.onPicture() == !readout.text().isEmpty(),
                  "a readout off the picture has a text, or one on it none");
    const int seen = colorSeenAt(state, at);
    fuzz::require(seen >= -1 && seen < 16, "the eyedropper saw no colour index");
    const int hgrDot = hgrDotShowing(state, at.x(), at.y());
    fuzz::require(hgrDot >= -1 && hgrDot < kHgrDots, "a DHGR dot shows no HGR dot of the row");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    fuzz::Input in{data, size};
    const quint8 flags = in.byte();
    const int count = in.byte() % (kMostEdits + 1);
    const QByteArray edits = in.bytes(size_t(count) * kEditBytes);
    PictureState state;
    state.isDhgr = flags & 1;
    state.is560Mode = flags & 2;
    state.jexEngine = flags & 4;
    state.bmFinalDepth = flags & 8 ? 1 : 8;
    fuzz::fillMemory(state, in.rest());
    const PictureSnapshot before = PictureSnapshot::of(state);

    fuzz::Input script{reinterpret_cast<const quint8 *>(edits.constData()), size_t(edits.size())};
    for (int i = 0; i < count && !script.done(); ++i) {
        const quint8 edit = script.byte() % 8;
        if (edit < 4) {
            const int colour = script.byte() % 16;
            const QPoint from(script.i32(), script.i32());
            const QPoint to(script.i32(), script.i32());
            // The tools draw on DHGR; the window converts an HGR picture first.
            convertToDhgr(state);
            const Tool tool = kDrawingTools[edit % 2];
            draw(state, tool, from, to, colour);
            if (tool == Tool::Fill && state.is560Mode)
                continue;
            const PictureSnapshot once = PictureSnapshot::of(state);
            draw(state, tool, from, to, colour);
            fuzz::require(PictureSnapshot::of(state) == once, "a shape or fill drawn again changed the picture");
        } else if (edit == 4) {
            convertToDhgr(state);
            fuzz::require(state.isDhgr, "the conversion left an HGR picture");
        } else if (edit < 7) {
            shiftPicture(state, edit == 5);
        } else {
            look(state, QPoint(script.i32(), script.i32()));
        }
    }

    const PictureSnapshot after = PictureSnapshot::of(state);
    PictureChangeCommand step(state, before, after, QStringLiteral("Edits"));
    step.undo();
    fuzz::require(PictureSnapshot::of(state) == before, "undo does not give back the picture as it was");
    step.redo();
    fuzz::require(PictureSnapshot::of(state) == after, "redo does not give back the edited picture");
    return 0;
}
