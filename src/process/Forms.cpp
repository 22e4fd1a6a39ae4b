// The program's window registry.
#include "process/Forms.h"

Forms forms;
