// Grey value fields.
#include "platform/ReadOnlyField.h"

#include <QColor>
#include <QLineEdit>
#include <QPalette>

namespace {

const QColor kFieldGrey(224, 224, 224);

}  // namespace

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
