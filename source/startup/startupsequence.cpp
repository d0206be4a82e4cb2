#include "startupsequence.h"

#include "morvowidget.h"
#include "picturedocument.h"
#include "resourcepath.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QRandomGenerator64>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace {

// A sound still loading is asked again every 50 ms; one that takes longer
// than a few seconds is skipped rather than holding the boot forever.
constexpr int kLoadingRetryMs = 50;
constexpr int kLoadingTries = 60;
// A sound that was asked to play but has not started soon after (no audio
// device takes it), or that never reports its end, is skipped as well. The
// longest sound lasts under three seconds.
constexpr int kStartWaitMs = 500;
constexpr int kLongestSoundMs = 6000;

} // namespace

const QStringList &startupSoundFiles()
{
    static const QStringList files = {
        QStringLiteral("sounds/beep.wav"),
        QStringLiteral("sounds/drive_startup_a.wav"),
        QStringLiteral("sounds/pbbbt.wav"),
        QStringLiteral("sounds/drive_startup_b.wav"),
    };
    return files;
}

const std::array<StartupStep, 7> &startupSteps()
{
    static const std::array<StartupStep, 7> steps = {{
        {0, 0, 0},      // random memory, beep
        {-1, -1, 500},
        {1, -1, 250},   // "Apple //c"
        {-1, 1, 0},     // drive A spins up
        {2, 2, 0},      // "ProDOS", pbbbt
        {-1, 3, 0},     // drive B
        {3, -1, 0},     // "Welcome", until stopped
    }};
    return steps;
}

QString randomScreenText()
{
    QString text;
    text.reserve(24 * 41);
    for (int line = 0; line < 24; ++line) {
        if (line > 0)
            text += QLatin1Char('\n');
        for (int column = 0; column < 40; ++column) {
            const quint32 v = quint32(QRandomGenerator64::global()->generate());
            text += QChar(char16_t(32 + (quint64(v) * 224 >> 32)));
        }
    }
    return text;
}

StartupSequence::StartupSequence(MorvoWidget *picture, QObject *parent, ResourceResolver resolve)
    : QObject(parent)
    , m_picture(picture)
    , m_resolve(resolve ? std::move(resolve) : ResourceResolver(resolveResourcePath))
    , m_timer(new QTimer(this))
{
    // Without a sound device Qt still reports the sounds ready and plays them
    // silently, each taking seconds to report its end: skip them instead.
    m_canPlay = !QMediaDevices::audioOutputs().isEmpty();
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &StartupSequence::advanceStep);
    for (size_t i = 0; i < m_sounds.size(); ++i) {
        m_sounds[i] = new QSoundEffect(this);
        const QString path = m_resolve(startupSoundFiles().at(qsizetype(i)));
        if (!path.isEmpty())
            m_sounds[i]->setSource(resourceUrl(path));
        connect(m_sounds[i], &QSoundEffect::playingChanged, this, &StartupSequence::onSoundFinished);
    }
}

StartupSequence::~StartupSequence() = default;

void StartupSequence::start()
{
    const PictureState &s = m_picture->state();
    m_savedOptions = s.viewOptions();
    m_savedIsDhgr = s.isDhgr;
    m_savedAux = s.auxMemory;
    m_savedMain = s.mainMemory;
    m_step = 0;
    m_isRunning = true;
    if (m_document)
        m_document->setBootScreensShowing(true);
    advanceStep();
}

void StartupSequence::setDocument(PictureDocument *document)
{
    m_document = document;
    connect(document, &PictureDocument::bootScreensEndRequested, this, &StartupSequence::stop);
}

void StartupSequence::stop()
{
    if (!m_isRunning)
        return;
    m_timer->stop();
    m_isRunning = false;
    if (m_document)
        m_document->setBootScreensShowing(false);
    for (QSoundEffect *sound : m_sounds)
        sound->stop();
    PictureState &s = m_picture->state();
    s.viewOptions() = m_savedOptions;
    s.isDhgr = m_savedIsDhgr;
    s.auxMemory = m_savedAux;
    s.mainMemory = m_savedMain;
    m_picture->hideOverlay();
    m_picture->refresh();
    Q_EMIT finished();
}

void StartupSequence::advanceStep()
{
    const auto &steps = startupSteps();
    if (m_step < 0 || m_step >= int(steps.size()))
        return;
    ++m_advances;
    m_awaited = nullptr;
    const StartupStep step = steps[size_t(m_step)];
    if (step.screen >= 0)
        showScreen(step.screen);
    if (m_step + 1 < int(steps.size()))
        ++m_step;
    if (step.sound >= 0)
        playSound(step.sound);
    else if (step.pauseMs > 0)
        m_timer->start(step.pauseMs);
}

void StartupSequence::playSound(int index, int loadingTries)
{
    if (index < 0 || index >= int(m_sounds.size())) {
        advanceStep();
        return;
    }
    QSoundEffect *sound = m_sounds[size_t(index)];
    switch (m_canPlay ? sound->status() : QSoundEffect::Error) {
    case QSoundEffect::Ready:
        m_awaited = sound;
        sound->play();
        advanceAfter(kLongestSoundMs);
        QTimer::singleShot(kStartWaitMs, this, [this, sound, advances = m_advances] {
            if (m_isRunning && advances == m_advances && !sound->isPlaying())
                advanceStep();
        });
        return;
    case QSoundEffect::Loading:
        if (loadingTries < kLoadingTries) {
            QTimer::singleShot(kLoadingRetryMs, this, [this, index, loadingTries, advances = m_advances] {
                if (m_isRunning && advances == m_advances)
                    playSound(index, loadingTries + 1);
            });
            return;
        }
        break;
    default:
        break;
    }
    advanceStep();
}

void StartupSequence::advanceAfter(int ms)
{
    QTimer::singleShot(ms, this, [this, advances = m_advances] {
        if (m_isRunning && advances == m_advances)
            advanceStep();
    });
}

void StartupSequence::onSoundFinished()
{
    auto *sound = qobject_cast<QSoundEffect *>(sender());
    if (!sound || sound != m_awaited || sound->isPlaying() || !m_isRunning)
        return;
    advanceStep();
}

void StartupSequence::showScreen(int number)
{
    QString text;
    const auto &screens = builtInTextScreens();
    if (number == 0)
        text = randomScreenText();
    else if (number <= 3 && number <= screens.size())
        text = readResourceText(screens.at(number - 1).path, m_resolve);
    m_picture->renderTextScreen(text, appleFontFamily());
    m_picture->showOverlay(m_picture->image());
}
