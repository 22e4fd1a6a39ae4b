// Opening the serial port at start-up.
#include "shell/shell.h"

#include "platform/SerialPort.h"

bool PortOeffnen(SerialPort& port)
{
    port.setRThreshold(32);
    for (int number = 1; number <= 4 && !port.portOpen(); ++number) {
        port.setCommPort(number);
        port.setPortOpen(true);
    }
    return port.portOpen();
}
