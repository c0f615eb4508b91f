// The options dialog driven as a user would: type into the text box, press its buttons.
// Messages and help go to the doubles, so nothing waits on a person.
#include "settings/frmDefaults.h"

#include "settings/CDefaults.h"
#include "tests/support/RecordingHelpViewer.h"
#include "tests/support/SettingsSandbox.h"
#include "tests/support/SheetTest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <optional>

using namespace SheetTest;

namespace {
const QString kNotNumeric = "The number of evolutions must be numeric.";
const QString kNotPositive = "The number of evolutions must be greater than zero.";
const QString kTooMany = "The number of evolutions must be 10,000 or less.";
}  // namespace

class frmDefaultsTest : public QObject {
    Q_OBJECT

    ScriptedMessages messages;
    std::optional<CDefaults> defaults;
    std::optional<frmDefaults> dialog;

    QLineEdit* text() const { return dialog->findChild<QLineEdit*>("txtMaxNumEvolutions"); }

    void type(const QString& entry)
    {
        text()->clear();
        QTest::keyClicks(text(), entry);
    }

    // Presses a button with the mouse, which also takes the focus away from the text box.
    void press(const char* name)
    {
        auto* button = dialog->findChild<QPushButton*>(name);
        QVERIFY(button);
        button->setFocus();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // After a refusal: one box with the text, OK only, no icon, no help; the dialog still
    // up with the focus back in the text box; the setting untouched (250).
    void expectRefused(const QString& message)
    {
        TakeOnlyMessage(messages, message, MsgIcon::None);
        QVERIFY(dialog->isVisible());
        QTRY_VERIFY(text()->hasFocus());
        QCOMPARE(defaults->lMaxNumEvolutions, 250);
    }

    // The dialog closed; the setting as given.
    void expectClosed(QDialog::DialogCode result, int evolutions)
    {
        QCOMPARE(dialog->result(), int(result));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(defaults->lMaxNumEvolutions, evolutions);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(gSettingsHome.holdsTheStore());
        ClearSettings();
    }
    void cleanupTestCase() { ClearSettings(); }

    // Every test starts with the dialog up over a setting of 250, which it shows.
    void init()
    {
        messages.clear();
        defaults.emplace();
        defaults->lMaxNumEvolutions = 250;
        dialog.emplace(*defaults);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&*dialog));
        QCOMPARE(text()->text(), QString("250"));
    }

    void cleanup()
    {
        VerifyMessagesSettled(messages);
        dialog.reset();
        defaults.reset();
    }

    void anEntryIsRefusedWithAMessageOrAcceptedAndStored_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("refusal");  // none: accepted
        QTest::addColumn<int>("stored");
        QTest::newRow("empty") << "" << kNotNumeric << 250;
        QTest::newRow("0") << "0" << kNotPositive << 250;
        QTest::newRow("half rounds to 0") << "0.5" << kNotPositive << 250;
        QTest::newRow("below 32 bits") << "-99999999999" << kNotPositive << 250;
        QTest::newRow("10001") << "10001" << kTooMany << 250;
        QTest::newRow("half rounds to 10002") << "10001.5" << kTooMany << 250;
        QTest::newRow("beyond 32 bits") << "99999999999" << kTooMany << 250;
        QTest::newRow("beyond a double") << "1e999" << kTooMany << 250;
        QTest::newRow("1") << "1" << QString() << 1;
        QTest::newRow("10000") << "10000" << QString() << 10000;
        QTest::newRow("2.5 to even") << "2.5" << QString() << 2;
        QTest::newRow("10000.5 to even") << "10000.5" << QString() << 10000;
    }
    void anEntryIsRefusedWithAMessageOrAcceptedAndStored()
    {
        QFETCH(QString, entry);
        QFETCH(QString, refusal);
        QFETCH(int, stored);
        type(entry);
        if (!refusal.isEmpty())
            messages.answer(MsgResult::Ok);
        press("cmdOK");
        if (refusal.isEmpty())
            return expectClosed(QDialog::Accepted, stored);
        expectRefused(refusal);
        QCOMPARE(text()->text(), entry);  // the entry stays for the user to correct
    }

    void aUserCorrectsTheEntryUntilItIsAccepted()
    {
        type("20000");
        messages.answer(MsgResult::Ok);
        QTest::keyClick(text(), Qt::Key_Return);  // Enter presses O&K
        expectRefused(kTooMany);
        type("500");
        press("cmdOK");
        expectClosed(QDialog::Accepted, 500);
    }

    void aTimeLimitIsCheckedOnlyWhenSetAndStoredWithIt()
    {
        auto* limit = dialog->findChild<QCheckBox*>("chkTimeLimit");
        auto* seconds = dialog->findChild<QLineEdit*>("txtTimeLimit");
        QVERIFY(limit && seconds);
        QVERIFY(!limit->isChecked() && !seconds->isEnabled());  // off by default
        QCOMPARE(seconds->text(), QString("60"));
        limit->click();
        QVERIFY(seconds->isEnabled());
        for (const auto& [entry, refusal] : {std::pair<QString, QString>{"0", "The number of seconds must be greater than zero."},
                                             {"86401", "The number of seconds must be 86,400 or less."},
                                             {"ten", "The number of seconds must be numeric."}}) {
            seconds->clear();
            QTest::keyClicks(seconds, entry);
            messages.answer(MsgResult::Ok);
            press("cmdOK");
            TakeOnlyMessage(messages, refusal, MsgIcon::None);
            QTRY_VERIFY(seconds->hasFocus());
            QVERIFY(!defaults->bTimeLimit);
        }
        seconds->clear();
        QTest::keyClicks(seconds, "12");
        press("cmdOK");
        expectClosed(QDialog::Accepted, 250);
        QVERIFY(defaults->bTimeLimit);
        QCOMPARE(defaults->lTimeLimitSeconds, 12);
    }

    void helpKeepsTheDialogAndCancelChangesNothing()
    {
        RecordingHelpViewer help;
        type("abc");
        press("cmdHelp");  // nothing is checked
        QCOMPARE(help.contexts(), QList<int>{22});
        QVERIFY(dialog->isVisible());
        type("5");
        press("Command2");
        expectClosed(QDialog::Rejected, 250);

        dialog->show();
        type("abc");
        QTest::keyClick(text(), Qt::Key_Escape);
        expectClosed(QDialog::Rejected, 250);
    }
};

QTEST_MAIN(frmDefaultsTest)
#include "frmDefaultsTest.moc"
