#include "picturedocument.h"

#include "picturechange.h"

#include <QUndoCommand>

namespace {

// A text screen drawn into the picture, kept whole: the editor redraws the
// picture at every key, and all those redraws are one step, from the
// picture before the first to the picture after the last.
class TextScreenStep : public QUndoCommand {
public:
    static constexpr int kId = 1;

    TextScreenStep(PictureState &state, const PictureSnapshot &before, std::function<void()> applied)
        : QUndoCommand(QObject::tr("Text Screen"))
        , m_state(state)
        , m_before(before)
        , m_after(PictureSnapshot::of(state))
        , m_applied(std::move(applied))
    {
    }

    int id() const override { return kId; }
    bool mergeWith(const QUndoCommand *other) override
    {
        m_after = static_cast<const TextScreenStep *>(other)->m_after;
        return true;
    }
    void undo() override { apply(m_before); }
    void redo() override { apply(m_after); }

private:
    void apply(const PictureSnapshot &picture)
    {
        picture.applyTo(m_state);
        m_applied();
    }

    PictureState &m_state;
    PictureSnapshot m_before;
    PictureSnapshot m_after;
    std::function<void()> m_applied;
};

} // namespace

PictureDocument::PictureDocument(QObject *parent)
    : QObject(parent)
{
    // Every step is kept: a stroke holds only the bytes it changed.
    m_history.setUndoLimit(0);
    connect(&m_history, &QUndoStack::cleanChanged, this, [this](bool clean) {
        Q_EMIT modifiedChanged(!clean);
        Q_EMIT titleChanged(windowTitle());
    });
}

PictureDocument::~PictureDocument()
{
    // An emptied history is clean again and says so as it goes, after the
    // file's name it would put in the title has gone: nothing hears it.
    m_history.blockSignals(true);
}

QString PictureDocument::windowTitle() const
{
    QString title = QStringLiteral("morvo");
    if (!m_displayName.isEmpty())
        title += QStringLiteral(" — ") + m_displayName;
    if (isModified())
        title += QStringLiteral(" •");
    return title;
}

void PictureDocument::setFile(const QString &path, const QString &displayName)
{
    m_filePath = path;
    m_displayName = displayName;
    Q_EMIT titleChanged(windowTitle());
}

void PictureDocument::open(const PictureSnapshot &picture, const QString &path, const QString &displayName)
{
    endBootScreens();
    m_stepStart.reset();
    m_history.clear();
    picture.applyTo(m_state);
    setFile(path, displayName);
    Q_EMIT pictureChanged();
}

void PictureDocument::forgetFile() { setFile(QString(), QString()); }

void PictureDocument::markSaved() { m_history.setClean(); }

void PictureDocument::reset()
{
    open(PictureSnapshot(), QString(), QString());
}

// Pushing runs the step's redo, which shows the picture.
void PictureDocument::push(const PictureSnapshot &before, const QString &stepName, int mergeId)
{
    const auto shown = [this] { Q_EMIT pictureChanged(); };
    if (mergeId == TextScreenStep::kId)
        m_history.push(new TextScreenStep(m_state, before, shown));
    else
        m_history.push(new PictureChangeCommand(m_state, before, PictureSnapshot::of(m_state), stepName, shown));
}

void PictureDocument::change(const QString &stepName, const std::function<void(PictureState &)> &edit)
{
    endBootScreens();
    const PictureSnapshot before = PictureSnapshot::of(m_state);
    edit(m_state);
    push(before, stepName, 0);
}

void PictureDocument::drawTextScreen(const std::function<void(PictureState &)> &draw)
{
    endBootScreens();
    const PictureSnapshot before = PictureSnapshot::of(m_state);
    draw(m_state);
    push(before, QString(), TextScreenStep::kId);
}

void PictureDocument::beginStep()
{
    endBootScreens();
    m_stepStart = PictureSnapshot::of(m_state);
}

void PictureDocument::endStep(const QString &stepName)
{
    if (!m_stepStart)
        return;
    const PictureSnapshot before = *m_stepStart;
    m_stepStart.reset();
    push(before, stepName, 0);
}

void PictureDocument::setPencilColor(int colour)
{
    if (colour < 0 || colour > 15 || colour == m_pencilColor)
        return;
    m_pencilColor = colour;
    Q_EMIT pencilColorChanged(colour);
}

void PictureDocument::setTool(Tool tool)
{
    if (tool == m_tool)
        return;
    m_tool = tool;
    Q_EMIT toolChanged(tool);
}

void PictureDocument::setBootScreensShowing(bool showing) { m_bootScreens = showing; }

bool PictureDocument::endBootScreens()
{
    if (!m_bootScreens)
        return false;
    Q_EMIT bootScreensEndRequested();
    m_bootScreens = false;
    return true;
}
