#include "imageimporter.h"

#include "adjustments.h"
#include "colourspace.h"
#include "dotrefiner.h"
#include "palettes.h"
#include "plaindither.h"
#include "viewoptions.h"

namespace {

// Sweeps of the look-ahead: the picture all but stops changing after a
// handful; a preview makes do with one quick one.
constexpr int kFullSweeps = 8;

} // namespace

ImageImporter::ImageImporter(const QImage &image)
    : m_source(image)
{
}

ViewOptions ImageImporter::viewFor(const ViewOptions &user, ImportTarget target)
{
    ViewOptions view = user;
    const bool mono = target == ImportTarget::DhgrMono || target == ImportTarget::HgrMono;
    if (mono)
        view.bmFinalDepth = 1;
    else if (view.bmFinalDepth <= 1)
        view.bmFinalDepth = ViewOptions().bmFinalDepth;
    clampViewOptions(view);
    return view;
}

const LinearImage &ImageImporter::screenImage(const ImportSettings &given, const ViewOptions &user)
{
    ImportSettings settings = given;
    settings.clamp();
    const ViewOptions view = viewFor(user, settings.target);
    if (!m_haveFramed || settings.fit != m_fit || settings.cropX != m_cropX || settings.cropY != m_cropY) {
        const Framing framing = frameFor(m_source.size(), settings.fit, settings.cropX, settings.cropY);
        m_framed = resampleToScreen(m_source.linear(), framing, m_source.scale());
        m_framedArea = screenArea(framing.screen, m_framed.width, m_framed.height);
        m_fit = settings.fit;
        m_cropX = settings.cropX;
        m_cropY = settings.cropY;
        m_haveFramed = true;
        m_haveScreen = false;
    }
    ImportSettings colours = settings;
    colours.dither = m_screenSettings.dither;
    if (!m_haveScreen || colours != m_screenSettings || (settings.isMono() && view != m_screenView)) {
        m_screen = m_framed;
        adjustColours(m_screen, settings, m_framedArea);
        if (settings.isMono()) {
            PictureState palette;
            palette.viewOptions() = view;
            toMonochrome(m_screen, linearOf(monoTint(palette, view.paletteType, view.oneBitPalette)));
        }
        m_screenSettings = colours;
        m_screenView = view;
        m_haveScreen = true;
    }
    return m_screen;
}

const ColumnModel &ImageImporter::modelFor(const ViewOptions &view, bool dhgr)
{
    if (!m_model || m_model->view() != view || m_model->isDhgr() != dhgr)
        m_model = std::make_unique<ColumnModel>(view, dhgr);
    return *m_model;
}

PictureState ImageImporter::convert(const ImportSettings &given, const ViewOptions &user, Speed speed)
{
    ImportSettings settings = given;
    settings.clamp();
    const ViewOptions view = viewFor(user, settings.target);
    const LinearImage &screen = screenImage(settings, user);
    const bool lookAhead = settings.dither == ImportDither::LookAhead;
    PictureDots dots = ditherPlain(screen, settings.target, lookAhead ? ImportDither::FloydSteinberg : settings.dither, view);
    if (lookAhead) {
        DotRefiner refiner(modelFor(view, settings.isDhgr()), screen, dots, settings.target == ImportTarget::HgrColour);
        if (speed == Speed::Preview) {
            refiner.sweep(true);
        } else {
            for (int i = 0; i < kFullSweeps; ++i)
                if (refiner.sweep() == 0)
                    break;
        }
    }
    PictureState picture;
    picture.viewOptions() = view;
    dots.write(picture);
    return picture;
}
