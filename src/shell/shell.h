// Application shell procedures.
#pragma once

// Opens the first of COM1 to COM4 that opens; ends the program with a message when none does.
void PortOeffnen();

// Name, launcher id, icon, style and font of the application; call once after creating it.
void setUpApplication();
