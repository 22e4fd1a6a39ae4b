// Reading a saved curve file without trusting it: only a regular file on a real file system,
// refused up front when it is larger than maxLines lines can be, read into memory (never mapped,
// so a file cut while it is read cannot fault) and parsed in one bounds-checked pass.
#pragma once

#include "platform/CurveText.h"

#include <QString>

struct CurveFileRead {
    bool opened = false;  // false: refused, the message says why
    CurveFile curve;
    QString message;  // German, naming the file; empty when every line was read
};

// The most bytes a file of maxLines curve lines holds: each of the longest kind, and a blank line.
qint64 curveFileLimit(int maxLines);

// A saved curve file, opened and checked when constructed and read by read(). The file may change
// in between and while it is read: read() takes what it holds then, never more than the limit and
// one byte.
class SavedCurveFile {
public:
    SavedCurveFile(const QString& path, int maxLines);
    ~SavedCurveFile();
    SavedCurveFile(const SavedCurveFile&) = delete;
    SavedCurveFile& operator=(const SavedCurveFile&) = delete;

    CurveFileRead read();

private:
    QString refuse(const QString& reason) const;

    QString shown_;  // the path as the user writes it
    int maxLines_;
    int fd_ = -1;
    qint64 size_ = 0;  // when checked
    QString refusal_;
};

inline CurveFileRead readCurveFile(const QString& path, int maxLines)
{
    return SavedCurveFile(path, maxLines).read();
}
