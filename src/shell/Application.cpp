// The application's look, shared by the program and its screenshot tool.
#include "shell/shell.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QStyleFactory>

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Ladomat Link"));
    // Ties the windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ladomat-link"));
    QApplication::setWindowIcon(programIcon());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Layouts are fixed in twips: a small, narrow UI font keeps every text inside its field.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
    // Qt's own texts (file dialog, message box buttons, window menus) in German, as all the
    // program's texts, whatever the user's language.
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

QIcon programIcon() { return QIcon(QStringLiteral(":/ladomat-link.svg")); }
