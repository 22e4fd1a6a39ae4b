// Multi-line messages for the battery window's message field: fixed lines of 31 characters
// joined by CR LF.
#pragma once

#include <QString>

#include <span>
#include <string_view>

struct MessageLine {
    std::u16string_view text;
    int lineBreaks;  // CR LF pairs that follow the line
};

constexpr std::size_t kMessageLineLength = 31;

// True when every line has exactly the field's line length (checked at compile time by the users).
constexpr bool linesFit(std::span<const MessageLine> lines)
{
    for (const MessageLine& line : lines) {
        if (line.text.size() != kMessageLineLength)
            return false;
    }
    return true;
}

// The whole message: each line followed by its line breaks.
QString messageText(std::span<const MessageLine> lines);
