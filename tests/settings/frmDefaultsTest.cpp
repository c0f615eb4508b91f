// The options dialog driven as a user would: type into the text box, press its buttons.
// Messages and help go to the doubles, so nothing waits on a person.
#include "settings/frmDefaults.h"

#include "settings/CDefaults.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/RecordingHelpViewer.h"
#include "tests/support/ScriptedMessages.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {
const QString kNotNumeric = "The number of evolutions must be numeric.";
const QString kNotPositive = "The number of evolutions must be greater than zero.";
const QString kTooMany = "The number of evolutions must be 10,000 or less.";
}  // namespace

class frmDefaultsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateSettingsHome> home;

    std::unique_ptr<CDefaults> defaults;
    std::unique_ptr<frmDefaults> dialog;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<RecordingHelpViewer> help;

    QLineEdit* text() const { return dialog->findChild<QLineEdit*>("txtMaxNumEvolutions"); }
    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(name); }

    void type(const QString& entry)
    {
        text()->clear();
        QTest::keyClicks(text(), entry);
    }

    // Presses a button with the mouse, which also takes the focus away from the text box.
    void press(const char* name)
    {
        QPushButton* b = button(name);
        QVERIFY(b);
        b->setFocus();
        QTest::mouseClick(b, Qt::LeftButton);
    }

    // After a refusal: one box with the text, OK only, no icon, no help; the dialog still
    // up with the focus back in the text box; the setting untouched.
    void expectRefused(const QString& message, std::int32_t unchanged)
    {
        QCOMPARE(messages->shown().size(), 1);
        const MessageRequest box = messages->last();
        QCOMPARE(box.text, message);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QCOMPARE(box.icon, MsgIcon::None);
        QCOMPARE(box.helpContext, 0);
        QVERIFY(messages->unexpected().isEmpty());
        messages->clear();
        QVERIFY(dialog->isVisible());
        QTRY_VERIFY(text()->hasFocus());
        QCOMPARE(defaults->lMaxNumEvolutions, unchanged);
    }

private slots:
    void initTestCase()
    {
        home = std::make_unique<PrivateSettingsHome>();
        QVERIFY(home->holdsTheStore());
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName("Corvantis");
        QCoreApplication::setApplicationName("Vantrel");
        ClearSettings();
    }
    void cleanupTestCase() { ClearSettings(); }

    void init()
    {
        messages = std::make_unique<ScriptedMessages>();
        help = std::make_unique<RecordingHelpViewer>();
        defaults = std::make_unique<CDefaults>();
        defaults->lMaxNumEvolutions = 250;
        dialog = std::make_unique<frmDefaults>(*defaults);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }

    void cleanup()
    {
        QVERIFY2(messages->unexpected().isEmpty(), qPrintable(messages->unexpected().join(" | ")));
        QCOMPARE(messages->unusedAnswers(), 0);
        dialog.reset();
        help.reset();
        messages.reset();
        defaults.reset();
    }

    void showsCaptionTextsButtonsAndTheCurrentNumber()
    {
        QCOMPARE(dialog->windowTitle(), QString("Change Defaults"));
        QCOMPARE(text()->text(), QString("250"));
        QStringList labels;
        for (QLabel* label : dialog->findChildren<QLabel*>())
            labels << label->text();
        QVERIFY(labels.contains("Number of Evolutions"));
        QVERIFY(labels.contains("1 to 10,000"));
        QVERIFY(labels.contains("The number of evolutions defines how many test case matricies Vantrel will "
                                "search through before reporting the answer. The minimum number of test cases can "
                                "usually be found in 100 evolutions; however, you may select any value between 1 "
                                "and 10,000."));
        QCOMPARE(button("cmdOK")->text(), QString("O&K"));
        QCOMPARE(button("Command2")->text(), QString("&Cancel"));
        QCOMPARE(button("cmdHelp")->text(), QString("&Help"));
    }

    void refusesWithAMessageAndStaysOpen_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "" << kNotNumeric;
        QTest::newRow("thousands separator") << "1,000" << kNotNumeric;
        QTest::newRow("0") << "0" << kNotPositive;
        QTest::newRow("half rounds to 0") << "0.5" << kNotPositive;
        QTest::newRow("below 32 bits") << "-99999999999" << kNotPositive;
        QTest::newRow("10001") << "10001" << kTooMany;
        QTest::newRow("half rounds to 10002") << "10001.5" << kTooMany;
        QTest::newRow("beyond 32 bits") << "99999999999" << kTooMany;
        QTest::newRow("beyond a double") << "1e999" << kTooMany;
    }
    void refusesWithAMessageAndStaysOpen()
    {
        QFETCH(QString, entry);
        QFETCH(QString, message);
        type(entry);
        messages->answer(MsgResult::Ok);
        press("cmdOK");
        expectRefused(message, 250);
        QCOMPARE(text()->text(), entry);  // the entry stays for the user to correct
    }

    void acceptsAndCloses_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("stored");
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("10000") << "10000" << 10000;
        QTest::newRow("2.5 to even") << "2.5" << 2;
        QTest::newRow("10000.5 to even") << "10000.5" << 10000;
        QTest::newRow("blanks and sign") << " +7 " << 7;
    }
    void acceptsAndCloses()
    {
        QFETCH(QString, entry);
        QFETCH(int, stored);
        type(entry);
        press("cmdOK");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(defaults->lMaxNumEvolutions, stored);
        QVERIFY(messages->shown().isEmpty());
    }

    void aUserCorrectsTheEntryUntilItIsAccepted()
    {
        type("20000");
        messages->answer(MsgResult::Ok);
        QTest::keyClick(text(), Qt::Key_Return);  // Enter presses O&K
        expectRefused(kTooMany, 250);
        type("500");
        press("cmdOK");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(defaults->lMaxNumEvolutions, 500);
    }

    void helpKeepsTheDialogAndCancelChangesNothing()
    {
        type("abc");
        press("cmdHelp");  // nothing is checked
        QCOMPARE(help->contexts(), QList<int>{22});
        QVERIFY(dialog->isVisible());
        type("5");
        press("Command2");
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(defaults->lMaxNumEvolutions, 250);

        dialog->show();
        type("abc");
        QTest::keyClick(text(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(defaults->lMaxNumEvolutions, 250);
        QVERIFY(messages->shown().isEmpty());
    }
};

QTEST_MAIN(frmDefaultsTest)
#include "frmDefaultsTest.moc"
