#pragma once

#include <QMainWindow>

class MorvoWidget;
class QScrollArea;

// The program's window: the picture in a dark scroll area, and a status bar
// for what the picture widget reports.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

    MorvoWidget *pictureWidget() const { return m_picture; }

    // Loads a picture and shows its name in the title when it loaded.
    bool openPicture(const QString &path);

private:
    void updateTitle();

    MorvoWidget *m_picture = nullptr;
    QScrollArea *m_scrollArea = nullptr;
    QString m_currentPicturePath;
};
