#pragma once
// What the main window and the commands it runs work with, made once at start-up and handed to
// the window, which hands it on, with itself, to every command: the presenter of their messages,
// the help and the settings. The layers below the window (the sheets, the design file, the
// exports) reach the same presenter and help through the seams installed beside it at start-up
// (app/DesktopSeams.h), so a box is shown one way whoever asks.

class CDefaults;
class HelpViewer;
class MessagePresenter;
class frmMain;

struct DesktopContext {
    MessagePresenter& messages;
    HelpViewer& help;
    CDefaults& settings;
};

// What a command runs with: the desktop's context and the window it runs in.
struct CommandContext : DesktopContext {
    frmMain& window;
};
