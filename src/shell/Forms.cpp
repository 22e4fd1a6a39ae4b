// The program's window registry.
#include "shell/Forms.h"

Forms forms;
