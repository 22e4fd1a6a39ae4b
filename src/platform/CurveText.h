// The curve text file's lines: "n,U,I,Q" CR LF, written by the export and the recording journal
// alike, and read back when a saved record is opened.
#pragma once

#include <string_view>
#include <vector>

// Writes one line for sample n at out and returns the end; the caller leaves at least
// kCurveLineRoom characters between out and end.
constexpr std::size_t kCurveLineRoom = 256;
char* appendCurveLine(char* out, char* end, int n, float u, float i, float q);

// A curve file read back: samples 1 to count (index 0 unused, like the store), or the first line
// that is not a curve line ("n,U,I,Q" with n the line number and the values whole numbers from
// 0 to 65535; at most maxLines lines).
struct CurveFile {
    std::vector<float> u, i, q;
    int count = 0;
    int badLine = 0;  // 0 when the whole file was read
};
CurveFile parseCurveFile(std::string_view text, int maxLines);
