#include "app/modMainFileCommands.h"

#include "app/frmMain.h"
#include "app/modMain.h"
#include "files/CFile.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/DesignWorkbook.h"
#include "platform/MessageBox.h"
#include "settings/RecentFiles.h"
#include "sheets/DesignHistory.h"

namespace modMain {
namespace {
void SetTitle()
{
    if (frmMain* main = frmMain::Instance())
        main->SetTitle();
}

// A new or opened design starts without steps to undo.
void ForgetUndoSteps()
{
    if (DesignHistory* history = DesignHistory::Current())
        history->clear();
}

// The design is now the file at gstrCurrentFile, as saved; it stays changed while the sheets
// hold text that the file left out.
void Saved()
{
    gbDirty = !File().CellsLeftOut().isEmpty();
    RecentFiles().Add(gstrCurrentFile);
    SetTitle();
}

// The design is now the file at gstrCurrentFile, as opened.
void Opened()
{
    ForgetUndoSteps();
    gbDirty = false;
    gbDesignChanged = true;
    RecentFiles().Add(gstrCurrentFile);
    SetTitle();
    if (frmMain* main = frmMain::Instance())
        main->ShowFactorsAndLevels();
}
}  // namespace

void FileNew()
{
    if (gbDirty) {
        switch (ShowMessage(QStringLiteral("Do you want to save changes?"), MsgButtons::YesNoCancel,
                            MsgIcon::Information)) {
        case MsgResult::Yes:
            if (!File().SaveFile(gstrCurrentFile))
                return;
            Saved();
            break;
        case MsgResult::No: break;
        default: return;
        }
    }
    Factors().setLNumFactors(0);
    Factors().lMaxNumLevels = 0;
    Constraints().setLNumConstraints(0);
    PrevRuns().setLNumPrevRuns(0);
    frmMain* main = frmMain::Instance();
    if (main)
        main->SetupSheets();
    gstrCurrentFile.clear();
    Workbook().ForgetLevelExtras();
    gbDirty = false;
    gbDesignChanged = true;
    ForgetUndoSteps();
    SetTitle();
    if (main)
        main->ShowFactorsAndLevels();
}

namespace {
// A changed design is offered for saving first; a save that happened counts even when the
// open is then cancelled.
bool OfferToSaveChanges()
{
    if (!gbDirty)
        return true;
    switch (File().OfferToSaveChanges(gstrCurrentFile)) {
    case CFile::SaveOffer::Saved: Saved(); return true;
    case CFile::SaveOffer::Declined: return true;
    case CFile::SaveOffer::Cancelled: return false;
    }
    return false;
}

// Opens the design chosen with the open dialog (askUser) or the one at the path.
bool OpenDesign(bool askUser, const QString& path)
{
    if (!OfferToSaveChanges())
        return false;
    QString opened = path;
    if (!File().OpenFile(askUser, false, opened))
        return false;
    gstrCurrentFile = opened;
    Opened();
    return true;
}
}  // namespace

bool OpenFile() { return OpenDesign(true, gstrCurrentFile); }

bool OpenFileFromPath(const QString& path) { return OpenDesign(false, path); }

bool SaveFile()
{
    if (!File().SaveFile(gstrCurrentFile))
        return false;
    Saved();
    return true;
}

bool SaveFileAs()
{
    const std::optional<QString> path = File().SaveFileAs();
    if (!path)
        return false;
    gstrCurrentFile = *path;
    Saved();
    return true;
}
}  // namespace modMain
