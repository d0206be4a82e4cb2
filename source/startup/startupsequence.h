#pragma once

#include "builtinscreens.h"
#include "picturestate.h"

#include <QObject>
#include <QStringList>

#include <array>

class MorvoWidget;
class PictureDocument;
class QSoundEffect;
class QTimer;

// One step of the boot: the screen it shows (-1 none), the sound it plays
// (-1 none; the next step waits for its end) or the pause before the next
// step (0 none). The last step stays until the sequence is stopped.
struct StartupStep {
    int screen;
    int sound;
    int pauseMs;
};
const std::array<StartupStep, 7> &startupSteps();
// The four sounds the steps number, by their data file paths.
const QStringList &startupSoundFiles();

// 24 lines of 40 random characters, codes 32 to 255: memory before the
// machine has cleared it.
QString randomScreenText();

// An Apple II booting, shown over the picture: random memory with a beep,
// the Apple //c start screen, the drives spinning up, ProDOS and Welcome.
// It borrows the picture and its options and gives both back exactly when
// stopped; then it emits finished.
class StartupSequence : public QObject {
    Q_OBJECT

public:
    StartupSequence(MorvoWidget *picture, QObject *parent, ResourceResolver resolve = {});
    ~StartupSequence() override;

    // The open picture's document learns when the boot screens show, and
    // ends them by asking.
    void setDocument(PictureDocument *document);

    void start();
    void stop();
    bool isRunning() const { return m_isRunning; }
    int step() const { return m_step; }

Q_SIGNALS:
    void finished();

public Q_SLOTS:
    void advanceStep();
    void onSoundFinished();

private:
    void playSound(int index, int loadingTries = 0);
    void showScreen(int number);
    // Calls advanceStep later unless the sequence has moved on or stopped.
    void advanceAfter(int ms);

    MorvoWidget *m_picture;
    PictureDocument *m_document = nullptr;
    ResourceResolver m_resolve;
    QTimer *m_timer;
    int m_step = 0;
    bool m_isRunning = false;
    bool m_canPlay = false;
    quint64 m_advances = 0;  // counts advanceStep calls, so late callbacks know they are late
    ViewOptions m_savedOptions;
    bool m_savedIsDhgr = true;
    PictureMemory m_savedAux{};
    PictureMemory m_savedMain{};
    std::array<QSoundEffect *, 4> m_sounds{};
    QSoundEffect *m_awaited = nullptr;  // the sound whose end the current step waits for
};
