// The curve text file's lines: "n,U,I,Q" CR LF, written by the export and the recording journal
// alike, and read back when a saved record is opened.
#pragma once

#include <string_view>
#include <vector>

// Writes one line for sample n at out and returns the end; the caller leaves at least
// kCurveLineRoom characters between out and end.
constexpr std::size_t kCurveLineRoom = 256;
char* appendCurveLine(char* out, char* end, int n, float u, float i, float q);

// A curve file read back, line by line from line 1. A curve line is "n,U,I,Q": n its line number,
// U, I, Q whole numbers from 0 to 65535, all without leading zeros, ended by LF or CR LF (the
// last line may lack it). Line ends at the very end are no lines: a trailing blank line is fine.
// The record is every curve line before the first line that is not one; that line and all after
// it are the damaged tail (a line cut by a full disk, a block of zeros after a power cut), dropped
// and counted. When line 1 is no curve line the text is no curve file; when line maxLines + 1 is
// a curve line it has too many lines.
struct CurveFile {
    std::vector<float> u, i, q;  // samples 1 to count; index 0 unused, like the store
    int count = 0;
    int badLine = 0;  // the first line that is not a curve line, 0 when there is none
    int droppedLines = 0;  // the lines from badLine to the end
    bool tooManyLines = false;
};
CurveFile parseCurveFile(std::string_view text, int maxLines);
