#include "app/modMainFileCommands.h"

#include "app/frmMain.h"
#include "app/modMain.h"
#include "files/CFile.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/DesignWorkbook.h"
#include "model/DesignModel.h"

#include <vantrel/design.hpp>
#include "platform/MessageBox.h"
#include "settings/RecentFiles.h"
#include "sheets/DesignHistory.h"

namespace modMain {
namespace {
// A new or opened design starts without steps to undo.
void ForgetUndoSteps()
{
    if (DesignHistory* history = DesignHistory::Current())
        history->clear();
}

// The design is now the file at gstrCurrentFile, as saved; it stays changed while the sheets
// hold text that the file left out.
void Saved(const CommandContext& context)
{
    gbDirty = !context.file.CellsLeftOut().isEmpty();
    RecentFiles().Add(gstrCurrentFile);
    context.window.DesignSaved();
    context.window.SetTitle();
}

// Whether the matrix opened with the design covers every pair it requires with valid test
// cases: then it is the design's, not an earlier one's. Read quietly: a design that does not
// read has its say when a command reads it.
bool SavedMatrixCurrent(DesignWorkbook& design)
{
    DesignText text;
    if (design.TestCasesGrid().maxRows() < 2 || !design.Read(false, text))
        return false;
    const vantrel::Result<vantrel::Design> compiled = vantrel::Design::Compile(ToModel(text));
    return compiled && compiled->AnyValidTestCase() &&
           compiled->CoverageOf(design.TestCaseNames(text.numFactors), {2, false, false}).Complete();
}

// The design is now the file at gstrCurrentFile, as opened.
void Opened(const CommandContext& context)
{
    ForgetUndoSteps();
    gbDirty = false;
    gbDesignChanged = !SavedMatrixCurrent(context.design);
    RecentFiles().Add(gstrCurrentFile);
    context.window.DesignSaved();
    context.window.SetTitle();
    context.window.ShowFactorsAndLevels();
}
}  // namespace

void FileNew(const CommandContext& context)
{
    if (gbDirty) {
        switch (ShowMessage(context.messages, QStringLiteral("Do you want to save changes?"), MsgButtons::YesNoCancel,
                            MsgIcon::Information)) {
        case MsgResult::Yes:
            if (!context.file.SaveFile(gstrCurrentFile))
                return;
            Saved(context);
            break;
        case MsgResult::No: break;
        default: return;
        }
    }
    context.design.ClearCounts();
    context.window.SetupSheets();
    gstrCurrentFile.clear();
    context.design.ForgetTextLayout();
    gbDirty = false;
    gbDesignChanged = true;
    ForgetUndoSteps();
    context.window.DesignSaved();
    context.window.SetTitle();
    context.window.ShowFactorsAndLevels();
}

namespace {
// A changed design is offered for saving first; a save that happened counts even when the
// open is then cancelled.
bool OfferToSaveChanges(const CommandContext& context)
{
    if (!gbDirty)
        return true;
    switch (context.file.OfferToSaveChanges(gstrCurrentFile)) {
    case CFile::SaveOffer::Saved: Saved(context); return true;
    case CFile::SaveOffer::Declined: return true;
    case CFile::SaveOffer::Cancelled: return false;
    }
    return false;
}

// Opens the design chosen with the open dialog (askUser) or the one at the path.
bool OpenDesign(const CommandContext& context, bool askUser, const QString& path)
{
    if (!OfferToSaveChanges(context))
        return false;
    QString opened = path;
    if (!context.file.OpenFile(askUser, false, opened))
        return false;
    gstrCurrentFile = opened;
    Opened(context);
    return true;
}
}  // namespace

bool OpenFile(const CommandContext& context) { return OpenDesign(context, true, gstrCurrentFile); }

bool OpenFileFromPath(const CommandContext& context, const QString& path)
{
    return OpenDesign(context, false, path);
}

bool SaveFile(const CommandContext& context)
{
    if (!context.file.SaveFile(gstrCurrentFile))
        return false;
    Saved(context);
    return true;
}

bool SaveFileAs(const CommandContext& context)
{
    const std::optional<QString> path = context.file.SaveFileAs();
    if (!path)
        return false;
    gstrCurrentFile = *path;
    Saved(context);
    return true;
}
}  // namespace modMain
