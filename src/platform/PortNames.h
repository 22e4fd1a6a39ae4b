// Which device stands behind COM1 to COM4.
#pragma once

#include <QString>
#include <QStringList>

// The device for COM n: LADOMAT_COMn wins; otherwise the n-th serial device the system lists.
// Empty when there is none.
QString deviceForComPort(int number);
// The system's serial devices in COM order (see serialDeviceOrder; Windows keeps its own).
QStringList systemSerialDevices();
// Device paths in COM order: USB and ACM adapters first, then other devices, then ttyS*; within
// each kind by trailing number, then by name.
QStringList serialDeviceOrder(QStringList devices);
// The lock file that serial programs leave for the device in the system's lock folders
// ("LCK.." and the device's name), or empty when there is none.
QString lockFileForDevice(const QString& device);
