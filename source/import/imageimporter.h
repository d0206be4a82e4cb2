#pragma once

#include "columnmodel.h"
#include "framing.h"
#include "importsettings.h"
#include "linearimage.h"
#include "sourceimage.h"

#include <QImage>

#include <memory>

// Makes picture memory from an image: frames it to the screen, adjusts its
// colours, and chooses the bytes. The engine and palette it judges the
// bytes by are those the picture is shown with, so the frame the renderer
// draws from the result is the preview.
//
// Keeps what the last call worked out (the framed image, the engine's
// column model), so that moving a slider redoes only what it changes. Not
// for use from two threads at once.
class ImageImporter {
public:
    enum class Speed {
        Preview,  // quick enough for every step of a slider drag
        Full,     // the result
    };

    explicit ImageImporter(const QImage &image);

    const SourceImage &source() const { return m_source; }

    // The options the imported picture is shown with: the user's engine,
    // palette and tint, in colour or monochrome as the target is.
    static ViewOptions viewFor(const ViewOptions &user, ImportTarget target);

    // The image as the screen should show it: framed, adjusted, and for a
    // monochrome target in the tint's shades. 560 x 192, linear light.
    const LinearImage &screenImage(const ImportSettings &settings, const ViewOptions &user);

    // The picture: memory, isDhgr, and viewFor()'s options.
    PictureState convert(const ImportSettings &settings, const ViewOptions &user, Speed speed = Speed::Full);

private:
    const ColumnModel &modelFor(const ViewOptions &view, bool dhgr);

    SourceImage m_source;
    // The framed image, before adjustments, and what it was framed with.
    LinearImage m_framed;
    QRect m_framedArea;
    bool m_haveFramed = false;
    ImportFit m_fit = ImportFit::Crop;
    double m_cropX = 0;
    double m_cropY = 0;
    // The adjusted image and what it was made from.
    LinearImage m_screen;
    bool m_haveScreen = false;
    ImportSettings m_screenSettings;
    ViewOptions m_screenView;
    std::unique_ptr<ColumnModel> m_model;
};
