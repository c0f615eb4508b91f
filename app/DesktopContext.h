#pragma once
// What the main window and the commands it runs work with, made once at start-up and handed to
// the window, which hands it on, with itself, to every command: the presenter of their messages,
// the help, the settings, the open design and its file (modMain's global objects). The layers
// below the window (the sheets, the design file, the exports) reach the same presenter and help
// through the seams installed beside it at start-up (app/DesktopSeams.h), so a box is shown one
// way whoever asks.

class CDefaults;
class CFile;
class DesignWorkbook;
class HelpViewer;
class MessagePresenter;
class frmMain;

struct DesktopContext {
    MessagePresenter& messages;
    HelpViewer& help;
    CDefaults& settings;
    DesignWorkbook& design;  // the sheets' grids and the model objects
    CFile& file;             // the design file, its dialogs and the exports
};

// What a command runs with: the desktop's context and the window it runs in.
struct CommandContext : DesktopContext {
    frmMain& window;
};
