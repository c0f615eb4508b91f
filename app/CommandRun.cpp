#include "app/CommandRun.h"

#include "app/CommandTable.h"
#include "app/frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMetaObject>
#include <QShortcut>

namespace {
std::vector<CommandRun*> gRuns;
bool gCloseRequested = false;

// The tools that stay usable while a command runs: none of them touches the design.
bool StaysEnabled(const QString& id)
{
    return id == QLatin1String(ToolId::Help) || id == QLatin1String(ToolId::About) ||
           id == QLatin1String(ToolId::Exit) || id == QLatin1String(ToolId::OutlookBar) ||
           id.startsWith(QLatin1String(ToolId::MenuPrefix));
}
}  // namespace

CommandRun::CommandRun(frmMain& window, std::function<void()> stop) : mStop(std::move(stop))
{
    if (mStop) {
        mEscape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
        connect(mEscape, &QShortcut::activated, this, [this] { mStop(); });
    }
    mOutermost = gRuns.empty();
    gRuns.push_back(this);
    if (!mOutermost)
        return;
    gCloseRequested = false;
    mMain = &window;
    mMain->installEventFilter(this);
    DisableDesignCommands();
}

CommandRun::~CommandRun()
{
    delete mEscape;
    std::erase(gRuns, this);
    if (!mOutermost)
        return;
    RestoreDesignCommands();
    if (mMain) {
        mMain->removeEventFilter(this);
        if (gCloseRequested)
            QMetaObject::invokeMethod(mMain.data(), &QWidget::close, Qt::QueuedConnection);
    }
    gCloseRequested = false;
}

bool CommandRun::Active() { return !gRuns.empty(); }

bool CommandRun::CloseRequested() { return gCloseRequested; }

bool CommandRun::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mMain && event->type() == QEvent::Close) {
        gCloseRequested = true;
        const std::vector<CommandRun*> runs = gRuns;
        for (CommandRun* run : runs)
            if (run->mStop)
                run->mStop();
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CommandRun::DisableDesignCommands()
{
    auto* main = static_cast<frmMain*>(mMain.data());
    for (QAction* tool : main->findChildren<QAction*>()) {
        if (tool->objectName().startsWith(QLatin1String(ToolId::Prefix)) && !StaysEnabled(tool->objectName())) {
            mEnabled.emplace_back(tool, tool->isEnabled());
            tool->setEnabled(false);
        }
    }
    // The Export menu enables its items as it opens: it stays shut, and the sheets take no input.
    QWidget* widgets[] = {main->findChild<QMenu*>(QLatin1String(ToolId::mnuExport)), main->centralWidget()};
    for (QWidget* widget : widgets) {
        if (widget) {
            mEnabled.emplace_back(widget, widget->isEnabled());
            widget->setEnabled(false);
        }
    }
}

void CommandRun::RestoreDesignCommands()
{
    for (const auto& [object, enabled] : mEnabled) {
        if (auto* tool = qobject_cast<QAction*>(object.data()))
            tool->setEnabled(enabled);
        else if (auto* widget = qobject_cast<QWidget*>(object.data()))
            widget->setEnabled(enabled);
    }
    mEnabled.clear();
    // A command may have added a step: Undo follows the history, not the tools' old state.
    if (mMain)
        static_cast<frmMain*>(mMain.data())->UpdateUndoTools();
}
