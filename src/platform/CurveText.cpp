// Writing and reading curve text lines without streams or locale: the journal writes one line
// a second on the frame chain, and opening a saved record reads up to 2,000,000 of them.
#include "platform/CurveText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

// Shortest text that reads back as the same value, "." as separator, never an exponent.
// Whole numbers, the usual case, take the quicker integer path.
char* appendValue(char* out, char* end, float value)
{
    if (std::abs(value) < 1e9f && value == std::trunc(value))
        return std::to_chars(out, end, static_cast<int32_t>(value)).ptr;
    return std::to_chars(out, end, value, std::chars_format::fixed).ptr;
}

// Reads a number without leading zeros up to the next separator; false unless at least one digit
// was read and the number stays within limit.
bool readNumber(const char*& p, const char* end, uint32_t limit, uint32_t& value)
{
    const char* start = p;
    value = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (p != start && *start == '0')  // a leading zero
            return false;
        value = value * 10 + static_cast<uint32_t>(*p - '0');
        if (value > limit)
            return false;
        ++p;
    }
    return p != start;
}

}  // namespace

char* appendCurveLine(char* out, char* end, int n, float u, float i, float q)
{
    out = std::to_chars(out, end, n).ptr;
    *out++ = ',';
    out = appendValue(out, end, u);
    *out++ = ',';
    out = appendValue(out, end, i);
    *out++ = ',';
    out = appendValue(out, end, q);
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

CurveFile parseCurveFile(std::string_view text, int maxLines)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    CurveFile file;
    // Room for as many lines as the text can hold at 8 bytes a line ("1,0,0,0" LF), at most maxLines.
    const std::size_t room = std::min<std::size_t>(maxLines, text.size() / 8 + 1) + 1;
    for (auto* values : {&file.u, &file.i, &file.q}) {
        values->reserve(room);
        values->push_back(0);
    }

    const char* p = text.data();
    const char* const end = p + text.size();
    for (int n = 1; p < end; ++n) {
        const char* const line = p;
        uint32_t number = 0, u = 0, i = 0, q = 0;
        bool ok = readNumber(p, end, static_cast<uint32_t>(n), number) && number == uint32_t(n);
        ok = ok && p < end && *p++ == ',' && readNumber(p, end, 65535, u);
        ok = ok && p < end && *p++ == ',' && readNumber(p, end, 65535, i);
        ok = ok && p < end && *p++ == ',' && readNumber(p, end, 65535, q);
        if (ok && p < end && *p == '\r')
            ++p;
        if (ok && p < end)
            ok = *p++ == '\n';
        if (!ok) {
            file.badLine = n;
            file.droppedLines = 1 + static_cast<int>(std::count(line, end, '\n'));
            return file;
        }
        if (n > maxLines) {
            file.tooManyLines = true;
            return file;
        }
        file.u.push_back(static_cast<float>(u));
        file.i.push_back(static_cast<float>(i));
        file.q.push_back(static_cast<float>(q));
        file.count = n;
    }
    return file;
}
