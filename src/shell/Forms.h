// The program's windows, reachable from every procedure through one registry.
#pragma once

class MDIForm1;
class Formtext;
class Formgrafik;
class Formsetgraf;
class Formakku;
class Formprotokoll;
class Formdatenformat;

struct Forms {
    MDIForm1* mdi = nullptr;
    Formtext* text = nullptr;
    Formgrafik* grafik = nullptr;
    Formsetgraf* setgraf = nullptr;
    Formakku* akku = nullptr;
    Formprotokoll* protokoll = nullptr;
    Formdatenformat* datenformat = nullptr;
};

// Set by the main window while it exists.
extern Forms forms;
