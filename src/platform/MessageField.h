// A multi-line text field whose text keeps line ends as CR LF, as the program's messages are built.
#pragma once

#include <QPlainTextEdit>

class MessageField : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;
    QString text() const;
    void setText(const QString& text);
};
