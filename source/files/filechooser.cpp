#include "filechooser.h"

#include <QFileDialog>

FileChooser::~FileChooser() = default;

QString FileChooser::openFileName(QWidget *parent, const QString &caption, const QString &directory,
                                  const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString FileChooser::saveFileName(QWidget *parent, const QString &caption, const QString &proposal,
                                  const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, proposal, filter);
}

QString FileChooser::folderName(QWidget *parent, const QString &caption, const QString &directory)
{
    return QFileDialog::getExistingDirectory(parent, caption, directory);
}
