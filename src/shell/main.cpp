// Program entry: the application, its look, and the main window on the hardware serial port.
#include "shell/MDIForm1.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ladomat Link"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Layouts are fixed in twips: a small, narrow UI font keeps every text inside its field.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);

    MDIForm1 window;
    if (window.ended())
        return 1;
    window.show();
    return app.exec();
}
