// Joins the fixed message lines into the text the message field shows.
#include "process/MessageLines.h"

QString messageText(std::span<const MessageLine> lines)
{
    QString text;
    for (const MessageLine& line : lines) {
        text += QStringView(line.text.data(), qsizetype(line.text.size()));
        for (int k = 0; k < line.lineBreaks; ++k)
            text += QStringLiteral("\r\n");
    }
    return text;
}
