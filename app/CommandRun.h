#pragma once
// A long command in progress (a generation, a self-test run). While the outermost one lives,
// the main window's commands that would change or read the design are disabled and its
// sheets take no input, but the window keeps repainting. Closing the main window meanwhile
// asks every running command to stop, and the window closes once the outermost run has ended.

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAction;
class QWidget;
class frmMain;

class QShortcut;

class CommandRun : public QObject {
    Q_OBJECT
public:
    // window: the main window the command runs in; stop: how the command is asked to stop when
    // that window is closed, or Escape is pressed in it.
    CommandRun(frmMain& window, std::function<void()> stop);
    ~CommandRun() override;
    CommandRun(const CommandRun&) = delete;
    CommandRun& operator=(const CommandRun&) = delete;

    // True while any command runs.
    static bool Active();
    // True once the main window was closed during the runs that are still going.
    static bool CloseRequested();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DisableDesignCommands();
    void RestoreDesignCommands();

    std::function<void()> mStop;
    QPointer<QShortcut> mEscape;
    bool mOutermost = false;
    QPointer<QWidget> mMain;
    std::vector<std::pair<QPointer<QObject>, bool>> mEnabled;  // widgets and tools with their state before
};
