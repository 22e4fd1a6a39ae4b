// Program entry: the application, its look, and the main window on the hardware serial port.
#include "shell/MDIForm1.h"
#include "shell/shell.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication();

    MDIForm1 window;
    if (window.ended())
        return 1;
    window.show();
    return app.exec();
}
