// The fixed number forms, one place for all fields.
#include "platform/NumberText.h"

#include <QDate>
#include <QLocale>

#include <cmath>

namespace {

// The one locale that every locale form follows: the user's, unless a default was set.
QLocale userLocale() { return QLocale(); }

QString shortest(double value, int significantDigits)
{
    if (value == 0)
        value = 0;  // no "-0"
    QString text = QString::number(value, 'g', significantDigits);
    // 'g' switches to exponent form for large or tiny values; the fields never show exponents.
    if (text.contains(QLatin1Char('e'))) {
        text = QString::number(value, 'f', significantDigits);
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
    }
    return text;
}

}  // namespace

QString plainText(double value) { return shortest(value, 15); }

QString blankText(double value)
{
    const QString text = shortest(value, 15);
    return text.startsWith(QLatin1Char('-')) ? text : QLatin1Char(' ') + text;
}

QString localeText(double value, int significantDigits)
{
    QString text = shortest(value, significantDigits);
    return text.replace(QLatin1Char('.'), userLocale().decimalPoint());
}

QString patternText(double value, const QString& pattern)
{
    const int point = pattern.indexOf(QLatin1Char('.'));
    const int integerDigits = point < 0 ? pattern.size() : point;
    const int decimals = point < 0 ? 0 : pattern.size() - point - 1;
    const double rounded = std::round(std::abs(value) * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
    QString text = QString::number(rounded, 'f', decimals);
    const int integerPart = point < 0 || decimals == 0 ? text.size() : text.indexOf(QLatin1Char('.'));
    if (integerPart < integerDigits)
        text.prepend(QString(integerDigits - integerPart, QLatin1Char('0')));
    if (value < 0 && rounded != 0)
        text.prepend(QLatin1Char('-'));
    return text.replace(QLatin1Char('.'), userLocale().decimalPoint());
}

QString dateText(const QDate& date) { return userLocale().toString(date, QLocale::ShortFormat); }
