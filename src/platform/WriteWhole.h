// Writing a file as a whole: the old file under the name stays until the new one is complete.
#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Opens a temporary file beside `path`, lets `write` fill it and puts it in place only when
// `write` and the final flush succeed. False when anything fails; a file already at `path`
// is then untouched.
bool writeWhole(const QString& path, const std::function<bool(QIODevice& file)>& write);
