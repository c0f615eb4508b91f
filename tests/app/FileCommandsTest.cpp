// New, Open, Save and Save As driven through their tool IDs on the main window, with the file
// dialog and message doubles: the questions and what each answer does, the dialogs' folders,
// names and checks, the flags and the title, failed writes, the exit question and the recent designs.
#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "settings/CGetMyDataFolder.h"
#include "tests/app/DesignLoader.h"
#include "tests/app/MainWindowTestCase.h"

#include <QAction>
#include <QMenu>

#include <csignal>
#include <sys/resource.h>

using namespace SheetTest;

namespace {
const std::vector<DesignLoader::Factor> kDesign{
    {"Browser", {"Firefox", "Edge"}}, {"OS", {"Linux", "Windows"}}, {"Screen", {"Phone", "Desktop"}}};

// A changed design on all four sheets: three factors, one constraint, one previous test and a
// generated matrix of two cases.
void LoadDesign(frmMain& w)
{
    DesignLoader::Load(w, kDesign, {{"Browser", "Edge", "OS", "Windows"}}, {{"Firefox", "Linux", "Phone"}});
    DesignLoader::LoadTestCases(w, kDesign, {{"Edge", "Linux", "Desktop"}, {"Firefox", "Windows", "Phone"}});
    modMain::gbDirty = true;
}

// The four sheets with their captions, the model counts and the status bar.
struct Sheets {
    QStringList factors, constraints, prevRuns, testCases;
    QList<int> counts;
    QStringList panels;
    friend bool operator==(const Sheets&, const Sheets&) = default;
};

Sheets Snapshot(const frmMain& w, bool withTestCaseColumnCaptions = true)
{
    return {Lines(modMain::FactorsGrid(), 0, 0),
            Lines(modMain::ConstraintsGrid(), 0, 0),
            Lines(modMain::PrevRunsGrid(), 0, 0),
            Lines(modMain::TestCasesGrid(), withTestCaseColumnCaptions ? 0 : 1, 0),
            {modMain::Factors().lNumFactors(), modMain::Factors().lMaxNumLevels,
             modMain::Constraints().lNumConstraints(), modMain::PrevRuns().lNumPrevRuns()},
            {w.PanelText("FactorsAndLevels"), w.PanelText("Constraints"), w.PanelText("Prev Test")}};
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

class FileCommandsTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT

private slots:
    void newOnAChangedDesignAsksAndOnlyNoEmptiesTheSheets()
    {
        frmMain w;
        ShowWindow(w);
        const Sheets empty = Snapshot(w);
        LoadDesign(w);
        const Sheets before = Snapshot(w);

        // Cancel, and Yes on an untitled design whose Save As is cancelled, change nothing.
        dialogs->answer("");
        for (const auto& [id, answer] : {std::pair{"ID_New", MsgResult::Cancel}, {"ID_Close", MsgResult::Yes}}) {
            messages.answer(answer);
            w.SSActiveToolBars1_ToolClick(id);
            TakeOnlyMessage(messages, "Do you want to save changes?", MsgIcon::Information, MsgButtons::YesNoCancel);
            QVERIFY(Snapshot(w) == before);
            QVERIFY(modMain::gbDirty);
        }

        messages.answer(MsgResult::No);
        w.SSActiveToolBars1_ToolClick("ID_Close");
        messages.clear();
        QVERIFY(Snapshot(w) == empty);
        QVERIFY(!modMain::gbDirty);
        QVERIFY(modMain::gbDesignChanged);
        QCOMPARE(w.windowTitle(), QString("Vantrel"));
        QCOMPARE(w.SelectedItemIndex(), 0);
        QCOMPARE(dialogs->requests().size(), 1);
    }

    void saveOnAnUntitledDesignRunsSaveAs()
    {
        frmMain w;
        ShowWindow(w);
        messages.answer(MsgResult::Ok);
        w.SSActiveToolBars1_ToolClick("ID_Save");  // nothing typed: refused, no dialog
        TakeOnlyMessage(messages, "You must have one factor and one level defined to save the file.", MsgIcon::None);

        LoadDesign(w);
        dialogs->answer("");
        w.SSActiveToolBars1_ToolClick("ID_Save");
        QVERIFY(modMain::gbDirty);
        QCOMPARE(w.windowTitle(), QString("Vantrel"));
        QVERIFY(modMain::gstrCurrentFile.isEmpty());
        QCOMPARE(dialogs->requests().last().title, QString("Save As"));
        QCOMPARE(dialogs->requests().last().filter, QString("TEST Files (*.test);;All Files (*.*)"));

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
        QCOMPARE(dialogs->requests().size(), 2);
    }

    void dialogsStartWhereTheUserWentLastAndSaveAsCompletesOnlyAMissingExtension()
    {
        frmMain w;
        LoadDesign(w);
        QVERIFY(QDir().mkpath(path("sub")));
        dialogs->answer("");
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");  // cancelled: no folder chosen yet
        const QList<std::pair<QString, QString>> names = {{"sub/design.", "sub/design.test"},
                                                          {"sub/design.txt", "sub/design.txt"},
                                                          {"sub/my.design", "sub/my.design"},
                                                          {"sub/  spaced  ", "sub/  spaced.test"}};
        for (const auto& [typed, stored] : names) {
            dialogs->answer(path(typed));
            w.SSActiveToolBars1_ToolClick("ID_SaveAs");
            QCOMPARE(modMain::gstrCurrentFile, path(stored));
            QVERIFY2(QFile::exists(path(stored)), qPrintable(stored));
        }
        QCOMPARE(QDir(path("sub")).entryList(QDir::Files).size(), names.size());

        dialogs->answer("");
        w.SSActiveToolBars1_ToolClick("ID_Open");
        QStringList folders;
        for (const FileDialogRequest& r : dialogs->requests())
            folders << r.startFolder;
        const QString documents = CGetMyDataFolder().GetMyDocumentsFolderPath();
        QCOMPARE(folders, QStringList({documents, documents}) + QStringList(4, path("sub")));
        QCOMPARE(dialogs->requests().last().title, QString("Open"));
        QCOMPARE(dialogs->requests().last().filter, QString("Test Files (*.test);;All Files (*.*)"));
    }

    void saveAsRefusesTheSystemFolderAndReplacesAFileOnlyWithLeave()
    {
        frmMain w;
        LoadDesign(w);
        QVERIFY(WriteBytes(path("old.test"), "keep me"));
        const QString system = CGetMyDataFolder().GetWindowsDir();
        const QString refusal = "You can not store test files in the Windows System Folder";
        const QString replace = "The file already exists. Do you want to replace the existing file?";
        // The dialog comes back after a refusal, in any letter case, and after No.
        dialogs->answer(system + "/share/design").answer(system.toUpper() + "/Local/Design.test");
        dialogs->answer(path("old")).answer(path("old.test")).answer("");
        messages.answer(MsgResult::Ok).answer(MsgResult::Ok).answer(MsgResult::No).answer(MsgResult::No);
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        QCOMPARE(messages.texts(), (QStringList{refusal, refusal, replace, replace}));
        QCOMPARE(messages.shown().first().icon, MsgIcon::Information);
        QCOMPARE(messages.shown().first().buttons, MsgButtons::Ok);
        QCOMPARE(messages.last().icon, MsgIcon::Question);
        QCOMPARE(messages.last().buttons, MsgButtons::YesNo);
        messages.clear();
        QCOMPARE(Bytes(path("old.test")), QByteArray("keep me"));
        QVERIFY(modMain::gstrCurrentFile.isEmpty());
        QVERIFY(modMain::gbDirty);

        dialogs->answer(path("old.test"));
        messages.answer(MsgResult::Yes);
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        messages.clear();
        QVERIFY(Bytes(path("old.test")).startsWith("<?xml"));
        QCOMPARE(modMain::gstrCurrentFile, path("old.test"));
        QVERIFY(!modMain::gbDirty);
        QCOMPARE(dialogs->requests().size(), 6);
    }

    void aFileTheReaderRefusesOrAWriteThatFailsLeavesEverythingAsItWas()
    {
        frmMain w;
        ShowWindow(w);
        LoadDesign(w);
        dialogs->answer(path("kept.test"));
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        const QByteArray earlier = Bytes(path("kept.test"));
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
        QCOMPARE(modMain::gstrCurrentFile, path("kept.test"));
        QCOMPARE(w.windowTitle(), Titled(path("kept.test")));
        QVERIFY(modMain::gbDirty);

        messages.answer(MsgResult::Cancel);  // Cancel at the question: no dialog at all
        w.SSActiveToolBars1_ToolClick("ID_Open");
        messages.clear();
        QCOMPARE(dialogs->requests().size(), 2);

        // A write that fails keeps the earlier file and the changed flag.
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

    void openInAFreshWindowBringsBackAllFourSheetsAndSavesTheSameFile()
    {
        Sheets saved;
        {
            frmMain w;
            LoadDesign(w);
            saved = Snapshot(w, false);
            dialogs->answer(path("first.test"));
            w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        }
        ResetApplicationState();
        frmMain w;
        ShowWindow(w);
        dialogs->answer(path("first.test")).answer(path("second.test"));
        w.SSActiveToolBars1_ToolClick("ID_Open");
        QVERIFY(Snapshot(w, false) == saved);
        QCOMPARE(ColCaptions(modMain::TestCasesGrid(), 1, 3), (QStringList{"Factor A", "Factor B", "Factor C"}));
        QCOMPARE(w.windowTitle(), Titled(path("first.test")));
        QVERIFY(!modMain::gbDirty);
        QVERIFY(modMain::gbDesignChanged);
        QCOMPARE(w.SelectedItemIndex(), 0);
        w.SSActiveToolBars1_ToolClick("ID_SaveAs");
        QVERIFY(!Bytes(path("first.test")).isEmpty());
        QCOMPARE(Bytes(path("second.test")), Bytes(path("first.test")));

        // A design without constraints, previous tests or matrix leaves those sheets empty.
        QVERIFY(WriteBytes(path("small.test"), "<requirements><factors><Factor Name=\"X\"><level>1</level></Factor>"
                                               "</factors><constraints/><previousruns/><QXVMatrix/></requirements>"));
        dialogs->answer(path("small.test"));
        w.SSActiveToolBars1_ToolClick("ID_Open");
        QCOMPARE(Lines(modMain::ConstraintsGrid(), 1, 0), QStringList{"Constraint 1||||"});
        QCOMPARE(Lines(modMain::PrevRunsGrid(), 0, 0), (QStringList{"|", "Prev Test 1|"}));
        QCOMPARE(Lines(modMain::TestCasesGrid(), 0, 0), (QStringList{"|", "|"}));
        QCOMPARE(w.PanelText("Constraints"), QString("0 Constraints  "));
        QCOMPARE(w.PanelText("Prev Test"), QString("0 Prev Test  "));
    }

    void theExitQuestionKeepsTheWindowOpenUntilTheDesignIsSaved()
    {
        {
            frmMain unchanged;
            ShowWindow(unchanged);
            QVERIFY(unchanged.close());  // nothing changed: no question
        }
        frmMain w;
        ShowWindow(w);
        LoadDesign(w);
        // Cancel, and Yes on an untitled design whose Save As is cancelled, keep the window.
        messages.answer(MsgResult::Cancel).answer(MsgResult::Yes);
        dialogs->answer("");
        QVERIFY(!w.close());
        QVERIFY(!w.close());
        QCOMPARE(messages.texts(), QStringList(2, "Do you want to save your changes before exiting?"));
        QCOMPARE(messages.last().icon, MsgIcon::None);
        QCOMPARE(messages.last().buttons, MsgButtons::YesNoCancel);
        messages.clear();
        QVERIFY(w.isVisible());
        QVERIFY(modMain::gbDirty);

        messages.answer(MsgResult::Yes);
        dialogs->answer(path("at-exit"));
        QVERIFY(w.close());
        QVERIFY(Bytes(path("at-exit.test")).contains("Browser"));

        // Titled: Yes writes back to the file without a dialog.
        ShowWindow(w);
        TypeIntoCell(*w.FactorsSheet()->Grid, 4, 1, "Added");
        messages.answer(MsgResult::Yes);
        QVERIFY(w.close());
        messages.clear();
        QVERIFY(Bytes(path("at-exit.test")).contains("Name=\"Added\""));
        QCOMPARE(dialogs->requests().size(), 2);
    }

    void theFileMenuOffersTheLastFourDesigns()
    {
        frmMain w;
        LoadDesign(w);
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
        LoadDesign(w);
        w.activateWindow();
        dialogs->answer("").answer("");
        messages.answer(MsgResult::Cancel);
        QTest::keySequence(&w, QKeySequence("Ctrl+S"));
        QTest::keySequence(&w, QKeySequence("Ctrl+O"));  // changed: the question comes first, Cancel
        // Bound on every desktop, also where the desktop's own scheme leaves Save As unbound.
        QTest::keySequence(&w, QKeySequence("Ctrl+Shift+S"));
        messages.clear();
        QCOMPARE(dialogs->requests().size(), 2);
        QCOMPARE(dialogs->requests()[1].title, QString("Save As"));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
