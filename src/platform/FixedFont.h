// The fixed-pitch font for text whose characters must stand in columns.
#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

// Courier New or what the system gives for it; the system's fixed font where that is not fixed.
inline QFont fixedPitchFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return font;
}
