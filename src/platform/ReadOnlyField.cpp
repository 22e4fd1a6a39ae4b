#include "platform/ReadOnlyField.h"

#include <QLineEdit>
#include <QPalette>

void makeGrey(QLineEdit* field)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, kFieldGrey);
    field->setPalette(palette);
}

void makeReadOnly(QLineEdit* field)
{
    field->setReadOnly(true);
    makeGrey(field);
}
