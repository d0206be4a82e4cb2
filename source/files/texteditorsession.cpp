#include "texteditorsession.h"

#include "textgridwidget.h"
#include "textscreeneditor.h"

#include <QApplication>

TextEditorSession::TextEditorSession(QObject *parent)
    : QObject(parent)
{
}

TextEditorSession::~TextEditorSession() { delete m_editor; }

TextScreenEditor *TextEditorSession::editor() const { return m_editor; }

bool TextEditorSession::isOpen() const { return m_editor && m_editor->isVisible(); }

bool TextEditorSession::isActive() const
{
    for (QWidget *w = QApplication::activeWindow(); w; w = w->parentWidget())
        if (w == m_editor)
            return true;
    return false;
}

bool TextEditorSession::mayReplaceText() { return !isOpen() || m_editor->maybeSave(); }

bool TextEditorSession::close()
{
    if (!isOpen())
        return true;
    if (!m_editor->maybeSave())
        return false;
    // The user has answered: the window's own close must not ask again.
    m_editor->setModified(false);
    m_editor->close();
    return true;
}

void TextEditorSession::open(const QString &text, const QString &path)
{
    if (!m_editor) {
        m_editor = new TextScreenEditor();
        m_editor->setSaveHandler([this] { return m_saveHandler && m_saveHandler(); });
        connect(m_editor, &TextScreenEditor::textChanged, this, &TextEditorSession::textChanged);
        connect(m_editor, &TextScreenEditor::modeChanged, this, &TextEditorSession::modeChanged);
        connect(m_editor, &TextScreenEditor::editorClosed, this, [this] {
            m_editor = nullptr;
            Q_EMIT closed();
        });
    }
    m_editor->loadScreen(text);
    m_editor->setFilePath(path);
    m_editor->setModified(false);
    m_editor->updateTitle();
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
    m_editor->grid()->setFocus();
}
