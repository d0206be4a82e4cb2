#include "mainwindow.h"

#include "morvowidget.h"

#include <QFileInfo>
#include <QScrollArea>
#include <QStatusBar>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    m_picture = new MorvoWidget(this);
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    QPalette dark = m_scrollArea->palette();
    dark.setColor(QPalette::Dark, QColor(64, 64, 64));
    dark.setColor(QPalette::Window, QColor(64, 64, 64));
    m_scrollArea->setPalette(dark);
    m_scrollArea->setAutoFillBackground(true);
    m_scrollArea->setAlignment(Qt::AlignCenter);
    m_scrollArea->setWidget(m_picture);
    setCentralWidget(m_scrollArea);

    connect(m_picture, &MorvoWidget::statusMessage, this,
            [this](const QString &msg) { statusBar()->showMessage(msg); });
    statusBar();
    updateTitle();
    resize(700, 540);
}

bool MainWindow::openPicture(const QString &path)
{
    if (!m_picture->loadPicture(path))
        return false;
    m_currentPicturePath = path;
    updateTitle();
    return true;
}

void MainWindow::updateTitle()
{
    if (m_currentPicturePath.isEmpty())
        setWindowTitle(QStringLiteral("morvo"));
    else
        setWindowTitle(tr("morvo — %1").arg(QFileInfo(m_currentPicturePath).fileName()));
}
