// COM n to device mapping.
#include "platform/PortNames.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

QStringList serialDeviceOrder(QStringList devices)
{
    static const QRegularExpression trailingNumber(QStringLiteral("(\\d+)$"));
    auto rank = [](const QString& device) {
        if (device.contains(QLatin1String("ttyUSB")) || device.contains(QLatin1String("ttyACM")))
            return 0;
        return device.contains(QLatin1String("ttyS")) ? 2 : 1;
    };
    auto number = [](const QString& device) {
        const QRegularExpressionMatch match = trailingNumber.match(device);
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    };
    std::stable_sort(devices.begin(), devices.end(), [&](const QString& a, const QString& b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        if (number(a) != number(b))
            return number(a) < number(b);
        return a < b;
    });
    return devices;
}

QStringList systemSerialDevices()
{
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
#ifdef Q_OS_WIN
    // COMn already carries its number; keep the system's order.
    return devices;
#else
    return serialDeviceOrder(devices);
#endif
}

QString deviceForComPort(int number)
{
    const QByteArray fromEnvironment =
        qgetenv(QStringLiteral("LADOMAT_COM%1").arg(number).toLatin1().constData());
    if (!fromEnvironment.isEmpty())
        return QString::fromLocal8Bit(fromEnvironment);
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    const QStringList devices = systemSerialDevices();
    return number >= 1 && number <= devices.size() ? devices.at(number - 1) : QString();
#endif
}

QString lockFileForDevice(const QString& device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(u'/', u'_');
    for (const char* folder : {"/run/lock", "/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
                               "/var/lock/lockdev", "/tmp", "/var/tmp"}) {
        const QString path = QString::fromLatin1(folder) + QStringLiteral("/LCK..") + name;
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}
