// Modal message box, yes/no question and file-save dialog behind a replaceable backend, so tests
// never block.
#pragma once

#include <QString>

struct SaveFileRequest {
    QString title;
    QString filter;  // "Grafiken (*.txt)|*.txt"
    QString initialFolder;  // "C:\"; the home folder where there are no drive letters
    QString proposedName;  // "Kurve01.TXT"
    QString defaultExtension;  // ".TXT", given to a name typed without extension
};

class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    virtual void messageBox(const QString& text, const QString& title) = 0;
    // True when the user answers "Ja".
    virtual bool question(const QString& text, const QString& title) = 0;
    // The path to write, final (the default extension given where needed); empty when cancelled.
    virtual QString saveFile(const SaveFileRequest& request) = 0;
};

// Installs a backend (tests); nullptr restores the real Qt dialogs.
void setDialogBackend(DialogBackend* backend);

void showMessageBox(const QString& text, const QString& title);
bool askQuestion(const QString& text, const QString& title);
QString askSaveFileName(const SaveFileRequest& request);
