// The fixed number forms the program writes into its fields and lists. The locale forms
// (localeText, patternText, dateText) all follow one locale: the user's, or the default set.
#pragma once

#include <QString>

class QDate;

// Shortest form with "." whatever the locale, no leading blank: "720", "12.46".
QString plainText(double value);
// Shortest form with "." and one leading blank for 0 and above: " 12.46", " 0", "-3".
QString blankText(double value);
// Shortest form with the locale's decimal separator, no blank: "7,2" in German.
// significantDigits 7 for values computed in single precision, 15 otherwise.
QString localeText(double value, int significantDigits = 15);
// Fixed patterns "0", "0.0", "0.00", "000.0": at least as many integer digits as zeros
// before the point, exactly as many decimals as after it, rounded, locale separator.
QString patternText(double value, const QString& pattern);
// The date in the locale's short form: "31.12.00" in German.
QString dateText(const QDate& date);
