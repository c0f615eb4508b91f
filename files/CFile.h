#pragma once
// The ".test" design file: one XML document holding the factors and levels, the constraints,
// the previous tests and, optionally, the Test Cases matrix.
//
//   <?xml version="1.0" encoding="ISO-8859-1" standalone="yes"?>
//   <requirements>
//    <factors>       <Factor Name="..."><level>...</level>...</Factor>...       </factors>
//                    (an invalid level: <level invalid="1">...</level>; a model text's comment
//                    lines above a factor: <Factor Name="..." comments="# ...&#xa;">)
//    <constraints>   <constraint><iffactor/><iflevel/><thenfactor/><thenlevel/></constraint>... </constraints>
//    <previousruns>  <previousrun><run>...</run>... (one per factor)</previousrun>...  </previousruns>
//    <QXVMatrix>     <row><run>...</run>... (one per column)</row>... (row 1: the factor names) </QXVMatrix>
//   </requirements>
//
// The bytes are Latin-1, as declared; every other character is written as a character
// reference, so any name comes back unchanged. A text made only of blanks (which the reader
// would otherwise drop) is written as a CDATA section. The reader goes by position: it checks
// the names of the first three sections only, and reads whatever elements stand below them.
//
// A design is also read from a model text (files/ModelText.h), told by content, and saved as
// one to a ".txt" path or to the model text it was opened from. A file that is neither is
// refused as such.
//
// CFile also runs the file commands' work: saving the design read from the sheets, opening a
// design onto the sheets (put by the workbook, dressed by DesignSheets), and the open and save dialogs with their
// checks. The dialogs start in the user's documents folder until one is confirmed, then in
// the folder chosen last.

#include "files/DesignReadFailure.h"
#include "files/ExportKind.h"
#include "files/FileIdentity.h"
#include "model/DesignText.h"
#include "model/TextTable.h"
#include "platform/Result.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class DesignWorkbook;
class GridCellStore;
class QDomDocument;
class QDomElement;
class QIODevice;

class CFile {
public:
    // workbook: the open design, read when saving; its Test Cases grid is stored as the matrix.
    explicit CFile(DesignWorkbook& workbook);

    // Writes the design (n factors with their level counts and factor table, level 0..L x
    // factor 1..n; m constraints, 1..m x 1..4; p previous tests, 1..p x 1..n) and the Test Cases
    // grid to the file. A matrix of more than 1,000 cells is written only if the user wants it
    // (Yes); No leaves it out, and any other answer cancels the save, silently.
    // The file is replaced only once everything was written, holding the design's lock (see
    // SaveDesignFile): a save that fails leaves any earlier file as it was, shows a message
    // naming the file and the reason, and returns False.
    bool SaveXMLFile(const QString& In_strPath, std::int32_t In_lNumFactors, const LongArray& In_alLevelCounts,
                     const TextTable& In_vaFactors, std::int32_t In_lNumConstraints,
                     const TextTable& In_vaConstraints, std::int32_t In_lNumPrevRuns,
                     const TextTable& In_vaPrevRuns);
    // How a save that must not overwrite another program's work ended, and the file as the
    // lock left it: as written (Saved) or as found changed (ChangedOnDisk).
    enum class GuardedSave { Saved, NotSaved, ChangedOnDisk };
    struct GuardedSaveOutcome {
        GuardedSave state;
        FileIdentity onDisk;
    };
    // Writes the design and the Test Cases grid as SaveXMLFile does, holding the design's lock
    // (DesignFileLock) from the check of the file to its replacement. When In_pExpected is given
    // and the file on disk is no longer that one, nothing is written and nothing shown:
    // ChangedOnDisk. NotSaved follows the message of a failure, or a question cancelled.
    GuardedSaveOutcome SaveDesignFile(const QString& In_strPath, const DesignText& In_design,
                                      const FileIdentity* In_pExpected);
    // What runs while a save waits for another program's save of the same design; `first` is
    // true the first time. By default the status bar says so and the windows stay painted.
    void SetWhileWaitingForLock(std::function<void(bool first)> whileWaiting)
    {
        mWhileWaitingForLock = std::move(whileWaiting);
    }
    // The same onto a device (opened for writing here unless it is open). Shows no message when
    // it fails: the failure says why (an empty reason when the user closed the question about a
    // large matrix unanswered: the save is cancelled, nothing is written).
    Result<void> SaveXMLFile(QIODevice& device, std::int32_t In_lNumFactors, const LongArray& In_alLevelCounts,
                             const TextTable& In_vaFactors, std::int32_t In_lNumConstraints,
                             const TextTable& In_vaConstraints, std::int32_t In_lNumPrevRuns,
                             const TextTable& In_vaPrevRuns);
    // The same from one bundle, with its invalid levels (its rules and matrix are not used: the
    // workbook's are written).
    Result<void> SaveXMLFile(QIODevice& device, const DesignText& In_design);

    // Reads a design file: the tables (shapes as above; the matrix is grid row 1..R x column
    // 1..C, maxNumLevels the largest level count) and the rules text. When the file is no design
    // of this layout, or cannot be read, the failure is a sentence saying why. Shows a message
    // only before loading a matrix of more than 500 rows.
    static Result<DesignText> OpenXMLFile(const QString& In_strPath);
    // The same from a device (opened for reading here unless it is open).
    static Result<DesignText> OpenXMLFile(QIODevice& device);
    // Reads a design of either kind, a design document or a model text, told by content;
    // what the other reads call. The failure of a model text has its line and column.
    static Result<DesignText, DesignReadFailure> ReadDesignFile(const QString& In_strPath);
    static Result<DesignText, DesignReadFailure> ReadDesign(QIODevice& device);

    // Gives oElement the attribute sName = sValue and returns True; False, changing nothing,
    // when the element already has an attribute of that name or is null.
    static bool AddAttribute(QDomDocument& oDOM, QDomElement& oElement, const QString& sName, const QString& sValue);

    // Saves the design to the file, or through Save As when the path is empty (the path is
    // then set to the one chosen). False, the path unchanged, when the design has no factor or
    // no level, the user cancelled, or nothing was written; each case has shown its message.
    bool SaveFile(QString& In_strFileNameandPath);
    // Asks for a path with the save dialog and saves the design there. The path, only when the
    // file was written.
    std::optional<QString> SaveFileAs();
    // For a changed design (In_bDirty), offers to save it to In_strFileNameandPath first. Then
    // opens a design, asking with the open dialog when In_bAskUser, else the path given, and
    // loads it into the sheets. True with In_strFileNameandPath set to the opened path; False,
    // the sheets unchanged, when the user cancelled or the file is no design ("Error opening file").
    bool OpenFile(bool In_bAskUser, bool In_bDirty, QString& In_strFileNameandPath);
    // "Do you want to save changes made to this document?": Yes saves (SaveFile), No goes on.
    // Cancelled when the user cancelled or the save did not happen.
    enum class SaveOffer { Saved, Declined, Cancelled };
    SaveOffer OfferToSaveChanges(QString& In_strFileNameandPath);

    // The cells of the sheets that hold text a save leaves out (levels of a column without a
    // factor name, and that column's previous tests), one line per column: "sheet, column:
    // rows". Saving asks first when there are any; the design then stays changed.
    QStringList CellsLeftOut() const;

    // The save dialog of design files and exports, "Save As" with the filter given ("Name
    // (*.ext);;All Files (*.*)"). The name gets the extension when it has none; a path in the
    // system folder is refused and an existing file needs the user's leave to be replaced, the
    // dialog coming back in both cases. Nothing when the user cancelled.
    std::optional<QString> GetSaveFileNameFromUser(const QString& In_strExtension, const QString& In_strFilter);
    // The file name with ".extension" added when it has no dot, "extension" when it ends in
    // its only dot; otherwise unchanged.
    static QString CorrectFileExtension(const QString& In_strFileName, const QString& In_strExtension);

    // The Export command of each format: asks for a file name with the format's save dialog,
    // writes the Test Cases grid in the format and opens the file with its application. True
    // when the user cancelled or the file was written; False after the message of a failed export.
    bool ExportHandler(ExportKind kind);

    // True until the first file dialog is confirmed.
    bool mbFirstFileDialog = true;

private:
    // Reads the three design tables from the sheets (without validation) and writes the file.
    // NotSaved when a read or the write failed, after its message; nothing is written then.
    // guarded: the design file last opened or saved here is replaced only while it is still the
    // one this program knows, or the user agrees to overwrite what another program made of it.
    // ChooseAnother when the user wants to choose another file (No to leaving the previous
    // tests and the matrix out of a model text).
    enum class PathSave { Saved, NotSaved, ChooseAnother };
    PathSave SaveDataToPath(const QString& path, bool guarded);
    // A design is saved as model text to a ".txt" path, and to the model text it was opened from.
    bool SavesAsModelText(const QString& path) const;
    // Before a model text leaves the previous tests and the matrix out: Yes, No (choose
    // another file) or Cancel. Yes without a question when nothing is left out.
    enum class LeaveOut { Yes, No, Cancel };
    LeaveOut AskToLeaveOutOfModelText(const QString& path, const DesignText& design) const;
    // "... was changed by another program ...": True when the user wants it overwritten.
    static bool AskToOverwrite(const QString& path);
    // The document's bytes; nothing after the message saying why they cannot be made, or
    // silently when the user cancelled the question about a large matrix.
    std::optional<QByteArray> DocumentBytes(const QString& path, const DesignText& design);
    // Puts the bytes in place of the file under the design's lock, as SaveDesignFile says.
    GuardedSaveOutcome ReplaceFile(const QString& path, const QByteArray& bytes, const FileIdentity* expected);
    static void ShowSaveFailure(const QString& path, const QString& reason);
    // The path chosen with the open dialog; nothing when the user cancelled.
    std::optional<QString> GetOpenFileNameFromUser();
    // The documents folder until a dialog was confirmed, then the folder last chosen.
    QString StartFolder();
    void DialogConfirmed(const QString& path);
    // Whether the path lies in the system folder (any letter case).
    static bool FileInWindowsDir(const QString& path);
    static bool FileExists(const QString& path);

    DesignWorkbook& mWorkbook;
    GridCellStore& mTestCasesGrid;
    QString mstrLastFolder;
    // The design file as it was last read or written.
    QString mstrKnownFile;
    FileIdentity mKnownIdentity;
    bool mbKnownIsModelText = false;
    std::function<void(bool first)> mWhileWaitingForLock;
};
