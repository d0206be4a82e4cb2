#pragma once

#include <QString>

class QWidget;

// Where the file commands ask the user for a path. The program asks through
// Qt's file dialogs; a test answers in their place.
class FileChooser {
public:
    virtual ~FileChooser();
    // An empty string when the user cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &directory,
                                 const QString &filter);
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &proposal,
                                 const QString &filter);
    virtual QString folderName(QWidget *parent, const QString &caption, const QString &directory);
};
