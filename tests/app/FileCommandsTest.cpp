// New, Open, Save and Save As driven through their tool IDs and keys on the main window, with
// the file dialog and message doubles: the questions and what each answer does, the dialogs'
// folders, names and checks, the flags and the title, failed writes, the exit question and the
// recent designs.
#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "sheets/RulesEditor.h"
#include "sheets/frmRules.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/DesignWorkbook.h"
#include "settings/CGetMyDataFolder.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QUrl>
#include <QLockFile>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

using namespace SheetTest;
using MainWindowTest::Snapshot;

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

// The design's file ("" when untitled), the window's title with its modified mark and the
// changed flag are as given.
void ExpectFile(const frmMain& w, const QString& file, bool dirty)
{
    QCOMPARE(modMain::gstrCurrentFile, file);
    QCOMPARE(w.windowTitle(), (file.isEmpty() ? QString("Vantrel") : "Vantrel  -  [" + file + "]") + "[*]");
    QCOMPARE(modMain::gbDirty, dirty);
    QCOMPARE(w.isWindowModified(), dirty);
}
}  // namespace

class FileCommandsTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT

private slots:
    void newOnAChangedDesignAsksAndOnlyNoEmptiesTheSheets()
    {
        frmMain& w = shownWindow();
        const QStringList empty = Snapshot(w);
        LoadDesign(w);
        const QStringList before = Snapshot(w);
        w.FactorsSheet()->Grid->setActiveCell(2, 3);

        // Cancel, and Yes on an untitled design whose Save As is cancelled, change nothing.
        dialogs->answer("");
        for (const auto& [id, answer] : {std::pair{ToolId::New, MsgResult::Cancel}, {ToolId::Close, MsgResult::Yes}}) {
            messages.answer(answer);
            w.Tool(id)->trigger();
            TakeOnlyMessage(messages, "Do you want to save changes?", MsgIcon::Information, MsgButtons::YesNoCancel);
            QCOMPARE(Snapshot(w), before);
            QVERIFY(modMain::gbDirty);
        }

        QCOMPARE(answered({MsgResult::No}, [&] { w.Tool(ToolId::Close)->trigger(); }),
                 QStringList{"Do you want to save changes?"});
        QCOMPARE(Snapshot(w), empty);
        ExpectFile(w, "", false);
        QVERIFY(modMain::gbDesignChanged);
        QCOMPARE(w.SelectedItemIndex(), 0);
        // What is typed next is the first factor's name.
        QCOMPARE(w.FactorsSheet()->Grid->activeCol(), 1);
        QCOMPARE(w.FactorsSheet()->Grid->activeRow(), 1);
        QCOMPARE(dialogs->requests().size(), 1);
    }

    void saveOnAnUntitledDesignRunsSaveAs()
    {
        frmMain& w = shownWindow();
        ExpectOneBox(messages, [&] { w.Tool(ToolId::Save)->trigger(); },  // nothing typed: no dialog
                     "You must have one factor and one level defined to save the file.", MsgIcon::None);

        LoadDesign(w);
        dialogs->answer("");
        w.activateWindow();
        QTest::keySequence(&w, QKeySequence("Ctrl+S"));
        ExpectFile(w, "", true);
        QCOMPARE(dialogs->requests().last().title, QString("Save As"));
        QCOMPARE(dialogs->requests().last().filter, QString("TEST Files (*.test);;Model Text (*.txt);;All Files (*.*)"));

        dialogs->answer(path("design"));
        w.Tool(ToolId::Save)->trigger();
        const QString saved = path("design.test");
        ExpectFile(w, saved, false);
        QVERIFY(FileBytes(saved).contains("<Factor Name=\"Browser\">"));

        // Titled: Save writes back without a dialog.
        TypeIntoCell(*w.FactorsSheet()->Grid, 4, 1, "Locale");
        w.Tool(ToolId::Save)->trigger();
        QVERIFY(FileBytes(saved).contains("<Factor Name=\"Locale\""));
        QVERIFY(!modMain::gbDirty);
        QCOMPARE(dialogs->requests().size(), 2);

        // Undoing back to the design saved leaves nothing unsaved; Redo changes it again.
        TypeIntoCell(*w.FactorsSheet()->Grid, 4, 2, "fr");
        QTRY_VERIFY(modMain::gbDirty);
        w.Tool(ToolId::Undo)->trigger();
        QVERIFY(!modMain::gbDirty && !w.isWindowModified());
        w.Tool(ToolId::Redo)->trigger();
        QVERIFY(modMain::gbDirty);

        // Another program rewrote the file since: Save asks first; No writes nothing, Yes overwrites.
        QVERIFY(WriteFileBytes(saved, "changed by another program"));
        TypeIntoCell(*w.FactorsSheet()->Grid, 5, 1, "Tone");
        const QString question = "The file " + QDir::toNativeSeparators(saved) +
                                 " was changed by another program since Vantrel opened or saved it.\n\n"
                                 "Do you want to overwrite it?";
        for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
            messages.answer(answer);
            w.Tool(ToolId::Save)->trigger();
            TakeOnlyMessage(messages, question, MsgIcon::Exclamation, MsgButtons::YesNo);
            QCOMPARE(FileBytes(saved) == "changed by another program", answer == MsgResult::No);
            QCOMPARE(modMain::gbDirty, answer == MsgResult::No);
        }
        QVERIFY(FileBytes(saved).contains("<Factor Name=\"Tone\""));
    }

    // Another program's save holds the design's lock: Save waits for it, the window painted,
    // and then asks before overwriting what that save wrote.
    void saveWaitsForAnotherSaveOfTheDesignAndKeepsWhatItWrote()
    {
        frmMain& w = shownWindow();
        LoadDesign(w);
        const QString saved = path("design.test");
        dialogs->answer(saved);
        w.Tool(ToolId::SaveAs)->trigger();
        TypeIntoCell(*w.FactorsSheet()->Grid, 4, 1, "Tone");
        QLockFile otherSave(saved + ".lock");
        QVERIFY(otherSave.tryLock());
        QString statusWhileWaiting;
        QTimer::singleShot(0, &w, [&] {
            statusWhileWaiting = w.statusBar()->currentMessage();
            QVERIFY(WriteFileBytes(saved, "saved by another program"));
            otherSave.unlock();
        });
        const QStringList asked = answered({MsgResult::No}, [&] { w.Tool(ToolId::Save)->trigger(); });
        QCOMPARE(statusWhileWaiting, QString("Waiting for another program to finish saving the design..."));
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].endsWith("was changed by another program since Vantrel opened or saved it.\n\n"
                                  "Do you want to overwrite it?"));
        QCOMPARE(FileBytes(saved), QByteArray("saved by another program"));
        ExpectFile(w, saved, true);
    }

    void dialogsStartWhereTheUserWentLastAndSaveAsCompletesOnlyAMissingExtension()
    {
        frmMain& w = shownWindow();
        w.activateWindow();
        LoadDesign(w);
        QVERIFY(QDir().mkpath(path("sub")));
        dialogs->answer("");
        w.Tool(ToolId::SaveAs)->trigger();  // cancelled: no folder chosen yet
        const QList<std::pair<QString, QString>> names = {{"sub/design.", "sub/design.test"},
                                                          {"sub/design.xml", "sub/design.xml"},
                                                          {"sub/my.design", "sub/my.design"},
                                                          {"sub/  spaced  ", "sub/  spaced.test"}};
        for (const auto& [typed, stored] : names) {
            dialogs->answer(path(typed));
            // Bound on every desktop, also where the desktop's own scheme leaves Save As unbound.
            QTest::keySequence(&w, QKeySequence("Ctrl+Shift+S"));
            QCOMPARE(modMain::gstrCurrentFile, path(stored));
            QVERIFY2(QFile::exists(path(stored)), qPrintable(stored));
        }
        QCOMPARE(QDir(path("sub")).entryList(QDir::Files).size(), names.size());

        dialogs->answer("");
        QTest::keySequence(&w, QKeySequence("Ctrl+O"));
        QStringList folders;
        for (const FileDialogRequest& r : dialogs->requests())
            folders << r.startFolder;
        const QString documents = CGetMyDataFolder().GetMyDocumentsFolderPath();
        QCOMPARE(folders, QStringList({documents, documents}) + QStringList(4, path("sub")));
        QCOMPARE(dialogs->requests().last().title, QString("Open"));
        QCOMPARE(dialogs->requests().last().filter,
                 QString("All Designs (*.test *.txt);;Test Files (*.test);;Model Text (*.txt);;All Files (*.*)"));
    }

    void saveAsRefusesTheSystemFolderAndReplacesAFileOnlyWithLeave()
    {
        frmMain& w = window.emplace(desktop());
        LoadDesign(w);
        QVERIFY(WriteFileBytes(path("old.test"), "keep me"));
        const QString system = CGetMyDataFolder().GetWindowsDir();
        const QString refusal = "You can not store test files in the Windows System Folder";
        const QString replace = "The file already exists. Do you want to replace the existing file?";
        // The dialog comes back after a refusal, in any letter case, and after No.
        dialogs->answer(system + "/share/design").answer(system.toUpper() + "/Local/Design.test");
        dialogs->answer(path("old")).answer(path("old.test")).answer("");
        messages.answer(MsgResult::Ok).answer(MsgResult::Ok).answer(MsgResult::No).answer(MsgResult::No);
        w.Tool(ToolId::SaveAs)->trigger();
        QCOMPARE(messages.texts(), (QStringList{refusal, refusal, replace, replace}));
        QCOMPARE(messages.shown().first().icon, MsgIcon::Information);
        QCOMPARE(messages.shown().first().buttons, MsgButtons::Ok);
        QCOMPARE(messages.last().icon, MsgIcon::Question);
        QCOMPARE(messages.last().buttons, MsgButtons::YesNo);
        messages.clear();
        QCOMPARE(FileBytes(path("old.test")), QByteArray("keep me"));
        ExpectFile(w, "", true);

        dialogs->answer(path("old.test"));
        QCOMPARE(answered({MsgResult::Yes}, [&] { w.Tool(ToolId::SaveAs)->trigger(); }), QStringList{replace});
        QVERIFY(FileBytes(path("old.test")).startsWith("<?xml"));
        ExpectFile(w, path("old.test"), false);
        QCOMPARE(dialogs->requests().size(), 6);
    }

    void aFileTheReaderRefusesOrAWriteThatFailsLeavesEverythingAsItWas()
    {
        frmMain& w = shownWindow();
        LoadDesign(w);
        dialogs->answer(path("kept.test"));
        w.Tool(ToolId::SaveAs)->trigger();
        const QByteArray earlier = FileBytes(path("kept.test"));
        TypeIntoCell(*w.FactorsSheet()->Grid, 4, 1, "Changed");
        const QStringList before = Snapshot(w);
        QVERIFY(WriteFileBytes(path("bad.test"),
                               "<requirements><Factors/><constraints/><previousruns/></requirements>"));

        messages.answer(MsgResult::No).answer(MsgResult::Ok);
        dialogs->answer(path("bad.test"));
        w.Tool(ToolId::Open)->trigger();
        QCOMPARE(messages.texts(),
                 (QStringList{"Do you want to save changes made to this document?",
                              "Error opening file\n" + path("bad.test") +
                                  ": The file is not a Vantrel design: its first section is <Factors>, not "
                                  "<factors>."}));
        QCOMPARE(messages.shown().first().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(messages.shown().first().icon, MsgIcon::Information);
        messages.clear();
        QCOMPARE(Snapshot(w), before);
        ExpectFile(w, path("kept.test"), true);

        // Cancel at the question: no dialog at all.
        QCOMPARE(answered({MsgResult::Cancel}, [&] { w.Tool(ToolId::Open)->trigger(); }).size(), 1);
        QCOMPARE(dialogs->requests().size(), 2);

        // A write that fails keeps the earlier file and the changed flag.
        messages.answer(MsgResult::Ok);
        {
            FileSizeLimit limit(64);
            w.Tool(ToolId::Save)->trigger();
        }
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(messages.last().text.startsWith("The design could not be saved to"));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);
        messages.clear();
        QCOMPARE(FileBytes(path("kept.test")), earlier);
        ExpectFile(w, path("kept.test"), true);

        // Save As into a folder that cannot exist (its parent is a file): the name stays.
        QVERIFY(WriteFileBytes(path("plain"), "a file"));
        dialogs->answer(path("plain/inside.test"));
        QCOMPARE(answered({MsgResult::Ok}, [&] { w.Tool(ToolId::SaveAs)->trigger(); }).size(), 1);
        ExpectFile(w, path("kept.test"), true);
    }

    void errorOpeningFileNamesTheFileAndWhy_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // a missing file when null
        QTest::addColumn<QString>("reason");
        const QByteArray design = "<requirements><factors><Factor Name=\"X\"><level>1</level></Factor></factors>"
                                  "<constraints/><previousruns/></requirements>";
        QTest::newRow("truncated") << design.left(40) << "The file is not well-formed XML: ";
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                << "The file is neither a Vantrel design nor a model text.";
        QTest::newRow("empty") << QByteArray("") << "The file is empty.";
        QTest::newRow("wrong root") << QByteArray("<html><head/><body/></html>")
                                    << "The file is not a Vantrel design: its root element is <html>, not "
                                       "<requirements>.";
        QTest::newRow("missing") << QByteArray() << "The file does not exist.";
    }
    void errorOpeningFileNamesTheFileAndWhy()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        frmMain& w = shownWindow();
        const QString file = path("design.test");
        if (!bytes.isNull())
            QVERIFY(WriteFileBytes(file, bytes));
        dialogs->answer(file);
        const QStringList shown = answered({MsgResult::Ok}, [&] { w.Tool(ToolId::Open)->trigger(); });
        QCOMPARE(shown.size(), 1);
        const QStringList lines = shown.first().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QString("Error opening file"));
        QVERIFY2(lines[1].startsWith(file + ": " + reason), qPrintable(lines[1]));
        ExpectFile(w, "", false);
    }

    void cellsTheFileLeavesOutAreNamedBeforeSavingAndKeepTheDesignChanged()
    {
        frmMain& w = shownWindow();
        LoadDesign(w);
        GridView& grid = *w.FactorsSheet()->Grid;
        TypeIntoCell(grid, 4, 2, "Tablet");  // a level beside the last factor, no name above it
        grid.selectBlock(3, 1, 3, 1);         // the last factor's name cleared
        w.Tool(ToolId::Clear)->trigger();
        const QString question = "These cells are not saved, because their column has no factor name:\n\n"
                                 "Factors and Levels, Factor 3: Level 1, Level 2\n"
                                 "Factors and Levels, Factor 4: Level 1\n"
                                 "Previous Test, Screen: Prev Test 1\n\n"
                                 "Do you want to save the design without them?";
        const QString file = path("partial.test");
        // No: nothing is written.
        dialogs->answer(file);
        messages.answer(MsgResult::No);
        w.Tool(ToolId::SaveAs)->trigger();
        TakeOnlyMessage(messages, question, MsgIcon::Exclamation, MsgButtons::YesNo);
        QVERIFY(!QFile::exists(file));
        ExpectFile(w, "", true);

        // Yes: saved without them, and the design still counts as changed, so Exit asks.
        dialogs->answer(file);
        QCOMPARE(answered({MsgResult::Yes}, [&] { w.Tool(ToolId::SaveAs)->trigger(); }),
                 QStringList{question});
        QCOMPARE(FileBytes(file).count("<Factor "), 2);
        QVERIFY(!FileBytes(file).contains("Tablet"));
        ExpectFile(w, file, true);
        QCOMPARE(answered({MsgResult::Cancel}, [&] { QVERIFY(!w.close()); }),
                 QStringList{"Do you want to save your changes before exiting?"});

        // Once the cells are gone (the Previous Test sheet keeps the named factors' columns as
        // it is shown), a save leaves the design saved.
        grid.selectBlock(3, 2, 4, 3);
        w.Tool(ToolId::Clear)->trigger();
        w.Tool(ToolId::PreviousTest)->trigger();
        w.Tool(ToolId::Save)->trigger();
        ExpectFile(w, file, false);
    }

    void aLargeMatrixIsLeftOutOnlyOnNoAndAnUnansweredQuestionWritesNothing()
    {
        frmMain& w = shownWindow();
        LoadDesign(w);
        DesignLoader::LoadTestCases(w, kDesign, DesignLoader::Rows(400, {"Edge", "Linux", "Desktop"}));
        const QString file = path("large.test");
        const QString question = "The Test Matrix is very large. Do you want to include it with the file?";
        dialogs->answer(file);
        messages.answer(MsgResult::Yes);
        w.Tool(ToolId::SaveAs)->trigger();
        TakeOnlyMessage(messages, question, MsgIcon::Question, MsgButtons::YesNo, 27);
        const QByteArray withMatrix = FileBytes(file);
        QCOMPARE(withMatrix.count("<row>"), 401);

        // Escape or the close box: the save is cancelled, the file and the changed flag stay.
        modMain::gbDirty = true;
        QCOMPARE(answered({MsgResult::Cancel}, [&] { w.Tool(ToolId::Save)->trigger(); }),
                 QStringList{question});
        QCOMPARE(FileBytes(file), withMatrix);
        ExpectFile(w, file, true);

        QCOMPARE(answered({MsgResult::No}, [&] { w.Tool(ToolId::Save)->trigger(); }), QStringList{question});
        QCOMPARE(FileBytes(file).count("<row>"), 0);
        ExpectFile(w, file, false);
    }

    void openInAFreshWindowBringsBackAllFourSheetsAndSavesTheSameFile()
    {
        LoadDesign(window.emplace(desktop()));
        const QStringList saved = Snapshot(*window, false);
        dialogs->answer(path("first.test"));
        window->Tool(ToolId::SaveAs)->trigger();
        window.reset();
        ResetApplicationState();
        frmMain& w = shownWindow();
        dialogs->answer(path("first.test")).answer(path("second.test"));
        w.Tool(ToolId::Open)->trigger();
        QCOMPARE(Snapshot(w, false), saved);
        QCOMPARE(ColCaptions(modMain::TestCasesGrid(), 1, 3), (QStringList{"Factor A", "Factor B", "Factor C"}));
        ExpectFile(w, path("first.test"), false);
        QVERIFY(modMain::gbDesignChanged);
        QCOMPARE(w.SelectedItemIndex(), 0);
        w.Tool(ToolId::SaveAs)->trigger();
        QVERIFY(!FileBytes(path("first.test")).isEmpty());
        QCOMPARE(FileBytes(path("second.test")), FileBytes(path("first.test")));

        // A design without constraints, previous tests or matrix leaves those sheets empty.
        QVERIFY(WriteFileBytes(path("small.test"),
                               "<requirements><factors><Factor Name=\"X\"><level>1</level></Factor></factors>"
                               "<constraints/><previousruns/><QXVMatrix/></requirements>"));
        dialogs->answer(path("small.test"));
        w.Tool(ToolId::Open)->trigger();
        QCOMPARE(Lines(modMain::ConstraintsGrid(), 1, 0), QStringList{"Constraint 1||||"});
        QCOMPARE(Lines(modMain::PrevRunsGrid(), 0, 0), (QStringList{"|", "Prev Test 1|"}));
        QCOMPARE(Lines(modMain::TestCasesGrid(), 0, 0), (QStringList{"|", "|"}));
        QCOMPARE(w.PanelText("Constraints"), QString("0 Constraints  "));
        QCOMPARE(w.PanelText("Prev Test"), QString("0 Prev Test  "));
    }

    void theExitQuestionKeepsTheWindowOpenUntilTheDesignIsSaved()
    {
        QVERIFY(shownWindow().close());  // nothing changed: no question
        frmMain& w = shownWindow();
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
        QVERIFY(FileBytes(path("at-exit.test")).contains("Browser"));

        // Titled: Yes writes back to the file without a dialog.
        ShowWindow(w);
        TypeIntoCell(*w.FactorsSheet()->Grid, 4, 1, "Added");
        QCOMPARE(answered({MsgResult::Yes}, [&] { QVERIFY(w.close()); }),
                 QStringList(2, "Do you want to save your changes before exiting?"));  // this exit's and the last
        QVERIFY(FileBytes(path("at-exit.test")).contains("Name=\"Added\""));
        QCOMPARE(dialogs->requests().size(), 2);
    }

    void aModelTextOpensOnTheSheetsAndSavesAsTextOnlyWithLeave()
    {
        frmMain& w = shownWindow();
        const QString model = path("checkout.txt");
        QVERIFY(WriteFileBytes(model, "OS: Win | W (3), Mac, ~Solaris\nBrowser: Chrome, Edge\n\n"
                                      "IF [OS] = \"Mac\" THEN [Browser] <> \"Edge\";\n[OS] <> \"W\" OR [Browser] = \"Edge\";\n"));
        dialogs->answer(model);
        QTest::keySequence(&w, QKeySequence("Ctrl+O"));
        ExpectFile(w, model, false);
        DesignText design;
        QVERIFY(modMain::Workbook().Read(false, design));
        QCOMPARE(design.numFactors, 2);
        QCOMPARE(design.invalidLevels, (std::set<std::pair<int, int>>{{3, 1}}));
        QCOMPARE(design.numConstraints, 1);
        QCOMPARE(modMain::Workbook().Rules(), QString("[OS] <> \"W\" OR [Browser] = \"Edge\";"));
        // Save writes the text back as text, the level's weight and other name with it.
        TypeIntoCell(*w.FactorsSheet()->Grid, 3, 1, "Screen");
        TypeIntoCell(*w.FactorsSheet()->Grid, 3, 2, "Phone");
        QTest::keySequence(&w, QKeySequence("Ctrl+S"));
        QVERIFY2(FileBytes(model).startsWith("OS: Win | W (3), Mac, ~Solaris\nBrowser: Chrome, Edge\nScreen: Phone\n"),
                 FileBytes(model).constData());
        ExpectFile(w, model, false);

        // What a text cannot hold is left out only with leave; No goes back to the dialog.
        LoadDesign(w);
        const QString text = path("design.txt");
        messages.answer(MsgResult::No).answer(MsgResult::Yes);
        dialogs->answer(text).answer(text);
        QTest::keySequence(&w, QKeySequence("Ctrl+Shift+S"));
        QCOMPARE(messages.texts(), QStringList(2, "A model text holds no previous tests and no test cases.\n\n"
                                                  "Do you want to save the design as model text without them?"));
        QCOMPARE(messages.last().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(messages.last().icon, MsgIcon::Question);
        messages.clear();
        QCOMPARE(dialogs->requests().size(), 3);
        ExpectFile(w, text, false);
        QVERIFY(FileBytes(text).startsWith("Browser: Firefox, Edge\n"));

        // Dropped on the window, or on the Rules sheet's text, a model text opens; one with a
        // problem names its line.
        QVERIFY(WriteFileBytes(path("bad.txt"), "A: a, b\nB: c,, d\n"));
        w.Tool(ToolId::Rules)->trigger();
        QWidget* rules = w.RulesSheet()->Editor()->viewport();
        for (const QString& dropped : {path("bad.txt"), model}) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(dropped)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(rules, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            messages.answer(MsgResult::Ok);
            QApplication::sendEvent(rules, &drop);
            QVERIFY(!w.RulesSheet()->Editor()->Text().contains("file:"));
        }
        QCOMPARE(messages.texts(), QStringList("Error opening file\n" + path("bad.txt") + ": Line 2, column 6: empty level."));
        messages.clear();
        ExpectFile(w, model, false);
    }

    void theFileMenuOffersTheLastFourDesigns()
    {
        frmMain& w = window.emplace(desktop());
        LoadDesign(w);
        for (const char* name : {"a", "b", "c", "d", "e"}) {
            dialogs->answer(path(name));
            w.Tool(ToolId::SaveAs)->trigger();
        }
        auto* fileMenu = w.findChild<QMenu*>(ToolId::mnuFile);
        emit fileMenu->aboutToShow();
        QStringList recent;
        for (QAction* a : fileMenu->actions())
            if (a->objectName().startsWith("RecentFile"))
                recent << a->text();
        QCOMPARE(recent, (QStringList{"&1 " + path("e.test"), "&2 " + path("d.test"), "&3 " + path("c.test"),
                                      "&4 " + path("b.test")}));
        QCOMPARE(fileMenu->actions().last()->objectName(), QString(ToolId::Exit));

        w.Tool(ToolId::New)->trigger();
        emit fileMenu->aboutToShow();  // the list is rebuilt, not added to
        QAction* third = w.findChild<QAction*>("RecentFile3");
        QVERIFY(third);
        third->trigger();
        QCOMPARE(modMain::gstrCurrentFile, path("c.test"));
        QCOMPARE(modMain::Factors().lNumFactors(), 3);
        QCOMPARE(StoredSetting("RecentFiles").toStringList().first(), path("c.test"));
        QCOMPARE(w.findChildren<QAction*>("RecentFile1").size(), 1);
    }
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
