#pragma once

#include "imageimporter.h"
#include "importsettings.h"
#include "picturestate.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QImage>

#include <memory>

class CropView;
class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QSlider;

// Import Image: the image beside the picture it makes, with the target,
// the framing (the crop outline draggable on the image), brightness,
// contrast, saturation, gamma and the dithering. The preview is the
// renderer's own frame of the picture, drawn with the engine and palette
// the dialog was given: while a slider or the crop is dragged it shows a
// quick version, and the finished picture once it is let go. The work runs
// on another thread. OK is there once the finished picture for the
// settings shown is ready; picture() is then the picture that OK gave.
class ImportDialog : public QDialog {
    Q_OBJECT

public:
    ImportDialog(const QImage &image, const ViewOptions &view, QWidget *parent = nullptr);
    ~ImportDialog() override;

    ImportSettings settings() const { return m_settings; }
    void setSettings(const ImportSettings &settings);

    // The picture OK gave: memory, isDhgr, and the view options it is
    // shown with (the given ones, in monochrome for a monochrome target).
    const PictureState &picture() const { return m_result; }
    // The frame the preview shows, 562 x 192.
    const QImage &previewFrame() const { return m_frame; }
    // Whether the finished picture for the settings shown is there.
    bool isReady() const { return m_ready; }

    QSlider *brightnessSlider() const { return m_brightness; }
    QSlider *contrastSlider() const { return m_contrast; }
    QSlider *saturationSlider() const { return m_saturation; }
    QSlider *gammaSlider() const { return m_gamma; }
    QComboBox *targetBox() const { return m_target; }
    QComboBox *fitBox() const { return m_fit; }
    QComboBox *ditherBox() const { return m_dither; }
    CropView *cropView() const { return m_crop; }
    QDialogButtonBox *buttons() const { return m_buttons; }

Q_SIGNALS:
    // The preview shows a new frame; full tells whether it is the finished
    // picture or a quick one.
    void previewShown(bool full);

private:
    struct Outcome {
        PictureState picture;
        QImage frame;
        ImportSettings settings;
        bool full = false;
    };

    QSlider *addSlider(const QString &label, int low, int high, int value);
    void readControls();
    // Asks for a new picture: quick while something is being dragged.
    void settingsChanged();
    void start();
    void finished();
    bool dragging() const;

    std::unique_ptr<ImageImporter> m_importer;
    ViewOptions m_view;
    ImportSettings m_settings;
    // What is to be done once the running job is finished.
    bool m_wanted = false;
    bool m_wantedFull = false;
    QFutureWatcher<Outcome> m_watcher;
    PictureState m_result;
    QImage m_frame;
    bool m_ready = false;

    CropView *m_crop = nullptr;
    QLabel *m_preview = nullptr;
    QComboBox *m_target = nullptr;
    QComboBox *m_fit = nullptr;
    QComboBox *m_dither = nullptr;
    QSlider *m_brightness = nullptr;
    QSlider *m_contrast = nullptr;
    QSlider *m_saturation = nullptr;
    QSlider *m_gamma = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QFormLayout *m_form = nullptr;
};
