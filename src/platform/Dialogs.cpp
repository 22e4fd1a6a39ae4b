// Real Qt dialogs, or a test backend when one is installed.
#include "platform/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

DialogBackend* installedBackend = nullptr;

class QtDialogs : public DialogBackend {
public:
    void messageBox(const QString& text, const QString& title) override
    {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }

    bool question(const QString& text, const QString& title) override
    {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    QString saveFile(const SaveFileRequest& request) override
    {
#ifdef Q_OS_WIN
        const QString folder = request.initialFolder;
#else
        const QString folder = QDir::homePath();
#endif
        // "Description|*.ext" becomes Qt's "Description" filter, which already names the pattern.
        QFileDialog dialog(QApplication::activeWindow(), request.title, folder,
                           request.filter.section(QLatin1Char('|'), 0, 0));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // Qt's own dialog: German texts from Qt's translations whatever the desktop's language,
        // and its question before a file is replaced.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        // Known to the dialog, the extension is there before it checks for a file to replace; the
        // name it returns is the name written.
        QString suffix = request.defaultExtension;
        dialog.setDefaultSuffix(suffix.remove(0, suffix.startsWith(QLatin1Char('.')) ? 1 : 0));
        dialog.selectFile(QDir(folder).filePath(request.proposedName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

DialogBackend& backend()
{
    static QtDialogs qtDialogs;
    return installedBackend ? *installedBackend : qtDialogs;
}

}  // namespace

void setDialogBackend(DialogBackend* newBackend) { installedBackend = newBackend; }

void showMessageBox(const QString& text, const QString& title) { backend().messageBox(text, title); }

bool askQuestion(const QString& text, const QString& title) { return backend().question(text, title); }

QString askSaveFileName(const SaveFileRequest& request) { return backend().saveFile(request); }
