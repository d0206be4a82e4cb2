#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class TextScreenEditor;

// The text editor window, while one is open: made on demand, forgotten when
// it closes. The window, the file commands and the menus ask it before they
// replace or close the screen, and it passes on what the editor reports.
class TextEditorSession : public QObject {
    Q_OBJECT

public:
    explicit TextEditorSession(QObject *parent = nullptr);
    ~TextEditorSession() override;

    // The open editor, or null.
    TextScreenEditor *editor() const;
    bool isOpen() const;
    // The editor, or its floating MouseText palette, is the active window.
    bool isActive() const;

    // What the Save answer of the editor's question runs; true once written.
    void setSaveHandler(std::function<bool()> save) { m_saveHandler = std::move(save); }

    // Asks about unsaved text before the screen is replaced; false when the
    // user chose to keep it.
    bool mayReplaceText();
    // Closes the editor, asking about unsaved text first; false when the
    // user chose to keep it.
    bool close();
    // Shows a screen in the editor, opening it when needed.
    void open(const QString &text, const QString &path);

Q_SIGNALS:
    void textChanged(const QString &text);
    void closed();
    void modeChanged(bool is80col);

private:
    QPointer<TextScreenEditor> m_editor;
    std::function<bool()> m_saveHandler;
};
