#include "importdialog.h"

#include "cropview.h"
#include "render.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// The gamma slider counts hundredths.
constexpr int kGammaSteps = 100;

// The frame with every scan line two rows tall, as a monitor shows it.
QPixmap previewPixmap(const QImage &frame)
{
    return QPixmap::fromImage(frame.copy(0, 0, kDhgrDots, kFrameHeight).scaled(kDhgrDots, 2 * kFrameHeight));
}

} // namespace

ImportDialog::ImportDialog(const QImage &image, const ViewOptions &view, QWidget *parent)
    : QDialog(parent)
    , m_importer(std::make_unique<ImageImporter>(image))
    , m_view(view)
{
    setWindowTitle(tr("Import Image"));
    m_crop = new CropView(image, this);
    m_preview = new QLabel(this);
    m_preview->setFixedSize(kDhgrDots, 2 * kFrameHeight);
    m_preview->setAlignment(Qt::AlignCenter);

    m_form = new QFormLayout;
    m_target = new QComboBox(this);
    m_target->addItems({tr("DHGR colour"), tr("HGR colour"), tr("DHGR monochrome (560 dots)"), tr("HGR monochrome (280 dots)")});
    m_fit = new QComboBox(this);
    m_fit->addItems({tr("Crop to fill"), tr("Fit with borders"), tr("Stretch")});
    m_dither = new QComboBox(this);
    m_dither->addItems({tr("None"), tr("Floyd-Steinberg"), tr("Atkinson"), tr("Look-ahead (what the engine draws)")});
    m_form->addRow(tr("Make:"), m_target);
    m_form->addRow(tr("Framing:"), m_fit);
    m_form->addRow(tr("Dithering:"), m_dither);
    m_brightness = addSlider(tr("Brightness:"), -100, 100, 0);
    m_contrast = addSlider(tr("Contrast:"), -100, 100, 0);
    m_saturation = addSlider(tr("Saturation:"), -100, 100, 0);
    m_gamma = addSlider(tr("Gamma:"), 20, 500, kGammaSteps);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *left = new QVBoxLayout;
    left->addWidget(m_crop);
    left->addLayout(m_form);
    left->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(m_preview, 0, Qt::AlignTop);
    auto *all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addWidget(m_buttons);

    for (QComboBox *box : {m_target, m_fit, m_dither})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { settingsChanged(); });
    connect(m_crop, &CropView::cropMoved, this, [this] { settingsChanged(); });
    connect(m_crop, &CropView::dragFinished, this, [this] { settingsChanged(); });
    connect(&m_watcher, &QFutureWatcher<Outcome>::finished, this, &ImportDialog::finished);

    setSettings(ImportSettings());
}

ImportDialog::~ImportDialog()
{
    m_watcher.waitForFinished();
}

QSlider *ImportDialog::addSlider(const QString &label, int low, int high, int value)
{
    auto *slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(low, high);
    slider->setValue(value);
    slider->setPageStep(10);
    // The number beside it: gamma in hundredths, the others as they are.
    auto *shown = new QLabel(this);
    shown->setMinimumWidth(shown->fontMetrics().horizontalAdvance(QStringLiteral("-100")));
    const bool isGamma = low > 0;
    const auto show = [shown, isGamma](int v) {
        shown->setText(isGamma ? QString::number(double(v) / kGammaSteps, 'f', 2) : QString::number(v));
    };
    show(value);
    auto *row = new QHBoxLayout;
    row->addWidget(slider);
    row->addWidget(shown);
    m_form->addRow(label, row);
    connect(slider, &QSlider::valueChanged, shown, show);
    connect(slider, &QSlider::valueChanged, this, [this] { settingsChanged(); });
    connect(slider, &QSlider::sliderReleased, this, [this] { settingsChanged(); });
    return slider;
}

void ImportDialog::setSettings(const ImportSettings &given)
{
    ImportSettings s = given;
    s.clamp();
    const QSignalBlocker blockTarget(m_target), blockFit(m_fit), blockDither(m_dither);
    const QSignalBlocker b1(m_brightness), b2(m_contrast), b3(m_saturation), b4(m_gamma);
    m_target->setCurrentIndex(int(s.target));
    m_fit->setCurrentIndex(int(s.fit));
    m_dither->setCurrentIndex(int(s.dither));
    m_brightness->setValue(s.brightness);
    m_contrast->setValue(s.contrast);
    m_saturation->setValue(s.saturation);
    m_gamma->setValue(qRound(s.gamma * kGammaSteps));
    m_crop->setFraming(s.fit, s.cropX, s.cropY);
    settingsChanged();
}

void ImportDialog::readControls()
{
    ImportSettings s;
    s.target = ImportTarget(m_target->currentIndex());
    s.fit = ImportFit(m_fit->currentIndex());
    s.dither = ImportDither(m_dither->currentIndex());
    s.cropX = m_crop->cropX();
    s.cropY = m_crop->cropY();
    s.brightness = m_brightness->value();
    s.contrast = m_contrast->value();
    s.saturation = m_saturation->value();
    s.gamma = double(m_gamma->value()) / kGammaSteps;
    m_settings = s;
    m_crop->setFraming(s.fit, s.cropX, s.cropY);
}

bool ImportDialog::dragging() const
{
    return m_brightness->isSliderDown() || m_contrast->isSliderDown() || m_saturation->isSliderDown()
        || m_gamma->isSliderDown() || m_crop->isDragging();
}

void ImportDialog::settingsChanged()
{
    readControls();
    m_ready = false;
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    m_wanted = true;
    m_wantedFull = !dragging();
    if (!m_watcher.isRunning())
        start();
}

void ImportDialog::start()
{
    m_wanted = false;
    ImageImporter *importer = m_importer.get();
    const ImportSettings settings = m_settings;
    const ViewOptions view = m_view;
    const bool full = m_wantedFull;
    m_watcher.setFuture(QtConcurrent::run([importer, settings, view, full] {
        Outcome o;
        o.picture = importer->convert(settings, view, full ? ImageImporter::Speed::Full : ImageImporter::Speed::Preview);
        renderPicture(o.picture, o.frame);
        o.settings = settings;
        o.full = full;
        return o;
    }));
}

void ImportDialog::finished()
{
    const Outcome o = m_watcher.result();
    m_frame = o.frame;
    m_preview->setPixmap(previewPixmap(o.frame));
    const bool current = o.settings == m_settings;
    if (o.full && current) {
        m_result = o.picture;
        m_ready = true;
        m_buttons->button(QDialogButtonBox::Ok)->setEnabled(true);
    }
    emit previewShown(o.full);
    // Settings changed meanwhile (the end of a drag among them).
    if (m_wanted)
        start();
}
