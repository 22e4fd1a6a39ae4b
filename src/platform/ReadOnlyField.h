// The grey field that shows a value the program writes and the user cannot edit.
#pragma once

class QLineEdit;

// Paints field's background grey (a field the user may still type into, too).
void makeGrey(QLineEdit* field);
// Makes field read-only and grey.
void makeReadOnly(QLineEdit* field);
