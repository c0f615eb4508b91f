// New, Open, Save and Save As driven through their tool IDs on the main window, with the file
// dialog and message doubles: the questions and what each answer does, the dialogs' folders,
// names and checks, the flags and the title, failed writes, and the recent designs.
#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/GridCellStore.h"
#include "settings/CGetMyDataFolder.h"
#include "sheets/frmConstraints.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmGenerate.h"
#include "sheets/frmPrevRuns.h"
#include "tests/app/DesignLoader.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/sheets/SheetTestSupport.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace SheetTest;

namespace {
PrivateSettingsHome gHome;

// Every text of a sheet, captions included, one row per entry.
QStringList Cells(const GridCellStore& grid, bool withColumnCaptions = true)
{
    QStringList rows;
    for (int r = withColumnCaptions ? 0 : 1; r <= grid.maxRows(); ++r) {
        QStringList row;
        for (int c = 0; c <= grid.maxCols(); ++c)
            row << grid.text(c, r);
        rows << row.join(QLatin1Char('|'));
    }
    return rows;
}

// The four sheets, the model counts and the status bar.
struct Sheets {
    QStringList factors, constraints, prevRuns, testCases;
    QList<int> counts;
    QStringList panels;
    friend bool operator==(const Sheets&, const Sheets&) = default;
};

Sheets Snapshot(const frmMain& w, bool withTestCaseColumnCaptions = true)
{
    return {Cells(modMain::FactorsGrid()),
            Cells(modMain::ConstraintsGrid()),
            Cells(modMain::PrevRunsGrid()),
            Cells(modMain::TestCasesGrid(), withTestCaseColumnCaptions),
            {modMain::Factors().lNumFactors(), modMain::Factors().lMaxNumLevels,
             modMain::Constraints().lNumConstraints(), modMain::PrevRuns().lNumPrevRuns()},
            {w.PanelText("FactorsAndLevels"), w.PanelText("Constraints"), w.PanelText("Prev Test")}};
}

void Choose(GridView& grid, int col, int row, Qt::Key firstLetter)
{
    QComboBox* combo = OpenCombo(grid, col, row);
    QVERIFY(combo);
    QTest::keyClick(combo, firstLetter);
}

// A design typed through the sheets: three factors, one constraint, one previous test and a
// generated matrix of two cases.
void TypeDesign(frmMain& w)
{
    const QList<QStringList> columns = {{"Browser", "Firefox", "Edge"}, {"OS", "Linux", "Windows"},
                                        {"Screen", "Phone", "Desktop"}};
    for (int c = 0; c < columns.size(); ++c)
        for (int r = 0; r < columns[c].size(); ++r)
            TypeIntoCell(*w.FactorsSheet()->Grid, c + 1, r + 1, columns[c][r]);

    w.SSActiveToolBars1_ToolClick("ID_Constraints");
    GridView& constraints = *w.ConstraintsSheet()->Grid;
    Choose(constraints, 1, 1, Qt::Key_B);
    Choose(constraints, 2, 1, Qt::Key_E);
    Choose(constraints, 3, 1, Qt::Key_O);
    Choose(constraints, 4, 1, Qt::Key_W);

    w.SSActiveToolBars1_ToolClick("ID_PreviousTest");
    GridView& prevRuns = *w.PrevRunsSheet()->Grid;
    Choose(prevRuns, 1, 1, Qt::Key_F);
    Choose(prevRuns, 2, 1, Qt::Key_L);
    Choose(prevRuns, 3, 1, Qt::Key_P);

    DesignLoader::LoadTestCases(w, {{"Browser", {}}, {"OS", {}}, {"Screen", {}}},
                                {{"Edge", "Linux", "Desktop"}, {"Firefox", "Windows", "Phone"}});
    w.SSActiveToolBars1_ToolClick("ID_FactorsandLevels");
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString Titled(const QString& path) { return "Vantrel  -  [" + path + "]"; }

// While it lives, no file of this process may grow beyond a few bytes: writes really fail.
class FileSizeLimit {
public:
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &mSaved);
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = mSaved;
        small.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    rlimit mSaved{};
    void (*mOldHandler)(int) = nullptr;
};
}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
    ScriptedMessages messages;
    ScriptedFileDialogs* dialogs = nullptr;
    QTemporaryDir* dir = nullptr;

    QString path(const QString& name) const { return dir->filePath(name); }

    void expectDialogs(int count)
    {
        QCOMPARE(dialogs->requests().size(), count);
        QCOMPARE(dialogs->unusedAnswers(), 0);
        QCOMPARE(dialogs->unexpected(), 0);
    }

private slots:
    void initTestCase() { QVERIFY(gHome.holdsTheStore()); }
    void init()
    {
        ResetApplicationState();
        ClearSettings();
        messages.clear();
        dialogs = new ScriptedFileDialogs;
        dir = new QTemporaryDir;
    }
    void cleanup()
    {
        VerifyMessagesSettled(messages);
        QCOMPARE(dialogs->unusedAnswers(), 0);
        QCOMPARE(dialogs->unexpected(), 0);
        delete dialogs;
        delete dir;
        ResetApplicationState();
    }

    void newOnAChangedDesignAsksAndCancelChangesNothing()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        const Sheets before = Snapshot(w);

        messages.answer(MsgResult::Cancel);
        w.SSActiveToolBars1_ToolClick("ID_New");
        TakeOnlyMessage(messages, "Do you want to save changes?", MsgIcon::Information, MsgButtons::YesNoCancel);
        QVERIFY(Snapshot(w) == before);
        QVERIFY(modMain::gbDirty);

        // Yes on an untitled design brings Save As; cancelling it stops the New as well.
        messages.answer(MsgResult::Yes);
        dialogs->answer("");
        w.SSActiveToolBars1_ToolClick("ID_Close");
        messages.clear();
        QVERIFY(Snapshot(w) == before);
        QVERIFY(modMain::gbDirty);

        messages.answer(MsgResult::No);
        w.SSActiveToolBars1_ToolClick("ID_Close");
        messages.clear();
        QCOMPARE(Cells(modMain::FactorsGrid()), (QStringList{"Factor #|Factor 1", "Factor Name|", "Level 1|"}));
        QCOMPARE(Cells(modMain::ConstraintsGrid()).mid(1), QStringList{"Constraint 1||||"});
        QCOMPARE(Cells(modMain::PrevRunsGrid()), (QStringList{"|", "Prev Test 1|"}));
        QCOMPARE(Cells(modMain::TestCasesGrid()), (QStringList{"|", "|"}));
        QCOMPARE(w.PanelText("FactorsAndLevels"), QString("0 Factors  "));
        QCOMPARE(w.PanelText("Constraints"), QString("0 Constraints  "));
        QVERIFY(!modMain::gbDirty);
        QVERIFY(modMain::gbDesignChanged);
        QCOMPARE(w.windowTitle(), QString("Vantrel"));
        QCOMPARE(w.SelectedItemIndex(), 0);
        expectDialogs(1);
    }

    void saveOnAnUntitledDesignRunsSaveAs()
    {
        frmMain w;
        ShowWindow(w);
        messages.answer(MsgResult::Ok);
        w.SSActiveToolBars1_ToolClick("ID_Save");  // nothing typed: refused, no dialog
        TakeOnlyMessage(messages, "You must have one factor and one level defined to save the file.", MsgIcon::None);

        TypeDesign(w);
        dialogs->answer("");
        w.SSActiveToolBars1_ToolClick("ID_Save");
        QVERIFY(modMain::gbDirty);
        QCOMPARE(w.windowTitle(), QString("Vantrel"));
        QVERIFY(modMain::gstrCurrentFile.isEmpty());
        const FileDialogRequest request = dialogs->requests().last();
        QCOMPARE(request.title, QString("Save As"));
        QCOMPARE(request.filter, QString("TEST Files (*.test);;All Files (*.*)"));

        dialogs->answer(path("design"));
        w.SSActiveToolBars1_ToolClick("ID_Save");
        const QString saved = path("design.test");
        QCOMPARE(modMain::gstrCurrentFile, saved);
        QCOMPARE(w.windowTitle(), Titled(saved));
        QVERIFY(!modMain::gbDirty);
        QVERIFY(Bytes(saved).contains("<Factor Name=\"Browser\">"));

        // Titled: Save writes back without a dialog.
        TypeIntoCell(*w.FactorsSheet()->Grid, 4, 1, "Locale");
        w.SSActiveToolBars1_ToolClick("ID_Save");
        QVERIFY(Bytes(saved).contains("<Factor Name=\"Locale\""));
        QVERIFY(!modMain::gbDirty);
        expectDialogs(2);
    }

    void saveAsCompletesOnlyAMissingExtension()
    {
        frmMain w;
        ShowWindow(w);
        TypeIntoCell(*w.FactorsSheet()->Grid, 1, 1, "A");
        TypeIntoCell(*w.FactorsSheet()->Grid, 1, 2, "x");
        const QList<std::pair<QString, QString>> names = {
            {"design.", "design.test"}, {"design.txt", "design.txt"}, {"my.design", "my.design"}, {"  spaced  ", "  spaced.test"}};
        for (const auto& [typed, stored] : names) {
            dialogs->answer(path(typed));
            w.SSActiveToolBars1_ToolClick("ID_SaveAs");
            QCOMPARE(modMain::gstrCurrentFile, path(stored));
            QVERIFY2(QFile::exists(path(stored)), qPrintable(stored));
        }
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files).size(), names.size());
    }

    void theSystemFolderIsRefusedInAnyLetterCaseAndTheDialogReturns()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        const QString system = CGetMyDataFolder().GetWindowsDir();
        dialogs->answer(system + "/share/design").answer(system.toUpper() + "/Local/Design.test").answer(path("ok"));
        messages.answer(MsgResult::Ok).answer(MsgResult::Ok);
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        QCOMPARE(messages.texts(), (QStringList{"You can not store test files in the Windows System Folder",
                                                "You can not store test files in the Windows System Folder"}));
        QCOMPARE(messages.last().icon, MsgIcon::Information);
        QCOMPARE(messages.last().buttons, MsgButtons::Ok);
        messages.clear();
        QCOMPARE(modMain::gstrCurrentFile, path("ok.test"));
        expectDialogs(3);
    }

    void anExistingFileIsReplacedOnlyWithLeave()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        QVERIFY(WriteBytes(path("old.test"), "keep me"));
        dialogs->answer(path("old")).answer(path("old.test")).answer("");
        messages.answer(MsgResult::No).answer(MsgResult::No);
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        QCOMPARE(messages.shown().size(), 2);
        QCOMPARE(messages.last().text, QString("The file already exists. Do you want to replace the existing file?"));
        QCOMPARE(messages.last().icon, MsgIcon::Question);
        QCOMPARE(messages.last().buttons, MsgButtons::YesNo);
        messages.clear();
        QCOMPARE(Bytes(path("old.test")), QByteArray("keep me"));
        QVERIFY(modMain::gbDirty);

        dialogs->answer(path("old.test"));
        messages.answer(MsgResult::Yes);
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        messages.clear();
        QVERIFY(Bytes(path("old.test")).startsWith("<?xml"));
        QVERIFY(!modMain::gbDirty);
    }

    void dialogsStartInTheDocumentsFolderThenWhereTheUserWentLast()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        QVERIFY(QDir().mkpath(path("sub")));
        dialogs->answer("").answer(path("sub/a")).answer("").answer("");
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");  // cancelled: no folder chosen yet
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        w.SSActiveToolBars1_ToolClick("ID_Open");
        const QList<FileDialogRequest>& r = dialogs->requests();
        QCOMPARE(r.size(), 4);
        const QString documents = CGetMyDataFolder().GetMyDocumentsFolderPath();
        QCOMPARE(r[0].startFolder, documents);
        QCOMPARE(r[1].startFolder, documents);
        QCOMPARE(r[2].startFolder, path("sub"));
        QCOMPARE(r[3].startFolder, path("sub"));
        QCOMPARE(r[3].title, QString("Open"));
        QCOMPARE(r[3].filter, QString("Test Files (*.test);;All Files (*.*)"));
    }

    void aFileTheReaderRefusesLeavesEverythingAsItWas()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        dialogs->answer(path("good.test"));
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        TypeIntoCell(*w.FactorsSheet()->Grid, 4, 1, "Changed");
        const Sheets before = Snapshot(w);
        QVERIFY(WriteBytes(path("bad.test"), "<requirements><Factors/><constraints/><previousruns/></requirements>"));

        messages.answer(MsgResult::No).answer(MsgResult::Ok);
        dialogs->answer(path("bad.test"));
        w.SSActiveToolBars1_ToolClick("ID_Open");
        QCOMPARE(messages.texts(),
                 (QStringList{"Do you want to save changes made to this document?", "Error opening file"}));
        QCOMPARE(messages.shown().first().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(messages.shown().first().icon, MsgIcon::Information);
        messages.clear();
        QVERIFY(Snapshot(w) == before);
        QCOMPARE(modMain::gstrCurrentFile, path("good.test"));
        QCOMPARE(w.windowTitle(), Titled(path("good.test")));
        QVERIFY(modMain::gbDirty);

        messages.answer(MsgResult::Cancel);  // Cancel at the question: no dialog at all
        w.SSActiveToolBars1_ToolClick("ID_Open");
        messages.clear();
        expectDialogs(2);
    }

    void openBringsBackAllFourSheetsAndEmptiesWhatTheFileLacks()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        const Sheets typed = Snapshot(w, false);
        dialogs->answer(path("full.test"));
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        w.SSActiveToolBars1_ToolClick("ID_New");  // saved: no question
        QVERIFY(!(Snapshot(w, false) == typed));

        dialogs->answer(path("full.test"));
        w.SSActiveToolBars1_ToolClick("ID_Open");
        QVERIFY(Snapshot(w, false) == typed);
        QCOMPARE(ColCaptions(modMain::TestCasesGrid(), 1, 3), (QStringList{"Factor A", "Factor B", "Factor C"}));
        QCOMPARE(w.windowTitle(), Titled(path("full.test")));
        QVERIFY(!modMain::gbDirty);
        QVERIFY(modMain::gbDesignChanged);
        QCOMPARE(w.SelectedItemIndex(), 0);

        // A design without constraints, previous tests or matrix leaves those sheets empty.
        QVERIFY(WriteBytes(path("small.test"), "<requirements><factors><Factor Name=\"X\"><level>1</level></Factor>"
                                               "</factors><constraints/><previousruns/><QXVMatrix/></requirements>"));
        dialogs->answer(path("small.test"));
        w.SSActiveToolBars1_ToolClick("ID_Open");
        QCOMPARE(Cells(modMain::ConstraintsGrid()).mid(1), QStringList{"Constraint 1||||"});
        QCOMPARE(Cells(modMain::PrevRunsGrid()), (QStringList{"|", "Prev Test 1|"}));
        QCOMPARE(Cells(modMain::TestCasesGrid()), (QStringList{"|", "|"}));
        QCOMPARE(w.PanelText("Constraints"), QString("0 Constraints  "));
        QCOMPARE(w.PanelText("Prev Test"), QString("0 Prev Test  "));
    }

    void aDesignSavedOpenedInAFreshWindowAndSavedAgainIsTheSameFile()
    {
        {
            frmMain w;
            ShowWindow(w);
            TypeDesign(w);
            dialogs->answer(path("first.test"));
            w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        }
        ResetApplicationState();
        frmMain fresh;
        ShowWindow(fresh);
        dialogs->answer(path("first.test")).answer(path("second.test"));
        fresh.SSActiveToolBars1_ToolClick("ID_Open");
        fresh.SSActiveToolBars1_ToolClick("ID_SaveAs");
        QVERIFY(!Bytes(path("first.test")).isEmpty());
        QCOMPARE(Bytes(path("second.test")), Bytes(path("first.test")));
    }

    void aWriteThatFailsKeepsTheEarlierFileAndTheChangedFlag()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        dialogs->answer(path("kept.test"));
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        const QByteArray earlier = Bytes(path("kept.test"));
        TypeIntoCell(*w.FactorsSheet()->Grid, 4, 1, "Changed");

        messages.answer(MsgResult::Ok);
        {
            FileSizeLimit limit;
            w.SSActiveToolBars1_ToolClick("ID_Save");
        }
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(messages.last().text.startsWith("The design could not be saved to"));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);
        messages.clear();
        QCOMPARE(Bytes(path("kept.test")), earlier);
        QVERIFY(modMain::gbDirty);
        QCOMPARE(w.windowTitle(), Titled(path("kept.test")));

        // Save As into a folder that cannot exist (its parent is a file): the name stays.
        QVERIFY(WriteBytes(path("plain"), "a file"));
        dialogs->answer(path("plain/inside.test"));
        messages.answer(MsgResult::Ok);
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        messages.clear();
        QCOMPARE(modMain::gstrCurrentFile, path("kept.test"));
        QCOMPARE(w.windowTitle(), Titled(path("kept.test")));
        QVERIFY(modMain::gbDirty);
    }

    void yesAtExitRunsSaveAsForAnUntitledDesignAndStaysOpenUntilSaved()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        messages.answer(MsgResult::Yes);
        dialogs->answer("");
        QVERIFY(!w.close());
        messages.clear();
        QVERIFY(w.isVisible());
        QVERIFY(modMain::gbDirty);

        messages.answer(MsgResult::Yes);
        dialogs->answer(path("at-exit"));
        QVERIFY(w.close());
        messages.clear();
        QVERIFY(Bytes(path("at-exit.test")).contains("Browser"));
    }

    void theFileMenuOffersTheLastFourDesigns()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        for (const char* name : {"a", "b", "c", "d", "e"}) {
            dialogs->answer(path(name));
            w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        }
        auto* fileMenu = w.findChild<QMenu*>("ID_mnuFile");
        emit fileMenu->aboutToShow();
        QStringList recent;
        for (QAction* a : fileMenu->actions())
            if (a->objectName().startsWith("RecentFile"))
                recent << a->text();
        QCOMPARE(recent, (QStringList{"&1 " + path("e.test"), "&2 " + path("d.test"), "&3 " + path("c.test"),
                                      "&4 " + path("b.test")}));
        QCOMPARE(fileMenu->actions().last()->objectName(), QString("ID_Exit"));

        w.SSActiveToolBars1_ToolClick("ID_New");
        emit fileMenu->aboutToShow();  // the list is rebuilt, not added to
        QAction* third = w.findChild<QAction*>("RecentFile3");
        QVERIFY(third);
        third->trigger();
        QCOMPARE(modMain::gstrCurrentFile, path("c.test"));
        QCOMPARE(modMain::Factors().lNumFactors(), 3);
        QCOMPARE(StoredSetting("RecentFiles").toStringList().first(), path("c.test"));
        QCOMPARE(w.findChildren<QAction*>("RecentFile1").size(), 1);
    }

    void theUsualKeysRunTheFileCommands()
    {
        frmMain w;
        ShowWindow(w);
        TypeDesign(w);
        w.activateWindow();
        dialogs->answer("").answer("");
        messages.answer(MsgResult::Cancel);
        QTest::keySequence(&w, QKeySequence("Ctrl+S"));
        QTest::keySequence(&w, QKeySequence("Ctrl+O"));  // dirty: the question comes first, Cancel
        // Bound on every desktop, also where the desktop's own scheme leaves Save As unbound.
        QTest::keySequence(&w, QKeySequence("Ctrl+Shift+S"));
        messages.clear();
        QCOMPARE(dialogs->requests().size(), 2);
        QCOMPARE(dialogs->requests()[1].title, QString("Save As"));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
