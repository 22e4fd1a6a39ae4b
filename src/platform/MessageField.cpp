// The multi-line message field.
#include "platform/MessageField.h"

QString MessageField::text() const
{
    return toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void MessageField::setText(const QString& text)
{
    setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}
