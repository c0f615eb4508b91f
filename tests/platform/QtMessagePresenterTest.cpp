// The real message box: its title, its buttons, and a Help button that shows the help and
// leaves the box up. Boxes are answered from a timer, so nothing waits on a person.
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/QtMessagePresenter.h"
#include "tests/support/RecordingHelpViewer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {
// Runs `act` on the next message box that opens.
void OnNextBox(std::function<void(QMessageBox*)> act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                act(box);
                return;
            }
        OnNextBox(act);  // not shown yet
    });
}

void Click(QMessageBox* box, QMessageBox::StandardButton which) { box->button(which)->click(); }
}  // namespace

class QtMessagePresenterTest : public QObject {
    Q_OBJECT
private slots:
    void titleTextAndIcon()
    {
        QtMessagePresenter presenter;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        OnNextBox([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            Click(box, QMessageBox::Ok);
        });
        QCOMPARE(presenter.show({"Something went wrong", MsgButtons::Ok, MsgIcon::Exclamation, 0}), MsgResult::Ok);
        QCOMPARE(title, QString("Vantrel"));
        QCOMPARE(text, QString("Something went wrong"));
        QCOMPARE(icon, QMessageBox::Warning);
    }

    void answersAreTheButtonsPressed()
    {
        QtMessagePresenter presenter;
        OnNextBox([](QMessageBox* box) { Click(box, QMessageBox::No); });
        QCOMPARE(presenter.show({"Save?", MsgButtons::YesNoCancel, MsgIcon::Question, 0}), MsgResult::No);
        OnNextBox([](QMessageBox* box) { Click(box, QMessageBox::Cancel); });
        QCOMPARE(presenter.show({"Save?", MsgButtons::YesNoCancel, MsgIcon::Question, 0}), MsgResult::Cancel);
        OnNextBox([](QMessageBox* box) {
            QVERIFY(box->button(QMessageBox::Help) == nullptr);  // no help context, no Help button
            Click(box, QMessageBox::Yes);
        });
        QCOMPARE(presenter.show({"Go on?", MsgButtons::YesNo, MsgIcon::None, 0}), MsgResult::Yes);
    }

    // Escape and the close box: OK where it is the only answer, Cancel (never No) otherwise.
    void escapeAndTheCloseBoxAnswerCautiously_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("viaCloseBox");
        QTest::addColumn<int>("expected");
        const std::pair<MsgButtons, MsgResult> cases[] = {{MsgButtons::Ok, MsgResult::Ok},
                                                          {MsgButtons::YesNo, MsgResult::Cancel},
                                                          {MsgButtons::YesNoCancel, MsgResult::Cancel}};
        for (const auto& [buttons, expected] : cases)
            for (const bool closeBox : {false, true})
                QTest::addRow("%d %s", int(buttons), closeBox ? "close box" : "Escape")
                    << int(buttons) << closeBox << int(expected);
    }
    void escapeAndTheCloseBoxAnswerCautiously()
    {
        QFETCH(int, buttons);
        QFETCH(bool, viaCloseBox);
        QFETCH(int, expected);
        QtMessagePresenter presenter;
        OnNextBox([viaCloseBox](QMessageBox* box) {
            if (viaCloseBox)
                box->close();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(int(presenter.show({"Go on?", MsgButtons(buttons), MsgIcon::Question, 27})), expected);
    }

    void helpShowsTheContextAndKeepsTheBoxUp()
    {
        QtMessagePresenter presenter;
        RecordingHelpViewer help;
        int boxesSeen = 0;
        OnNextBox([&](QMessageBox* box) {
            ++boxesSeen;
            Click(box, QMessageBox::Help);
            OnNextBox([&](QMessageBox* again) {
                ++boxesSeen;
                QCOMPARE(QApplication::focusWidget(), again->button(QMessageBox::Ok));  // not Help
                QTest::keyClick(again, Qt::Key_Escape);
            });
        });
        QCOMPARE(presenter.show({"Factor 'A' has no levels defined.", MsgButtons::Ok, MsgIcon::Critical, 29}),
                 MsgResult::Ok);
        QCOMPARE(help.contexts(), QList<int>{29});
        QCOMPARE(boxesSeen, 2);
    }

    // The help window of the program's own shows the bundled help at the context's anchor.
    void helpOpensInTheProgramsOwnWindowAtTheContext()
    {
        QtHelpViewer viewer(VANTREL_HELP);
        const auto shownAt = [&viewer](int context) {
            viewer.showHelp(context);
            QList<QTextBrowser*> windows;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* browser = qobject_cast<QTextBrowser*>(w); browser && browser->isVisible())
                    windows << browser;
            return windows.size() == 1 ? windows.first()->verticalScrollBar()->value() : -1;
        };
        const int first = shownAt(1);
        QVERIFY(first >= 0);
        QVERIFY(shownAt(27) > first);
        QVERIFY(shownAt(37) > first);  // the rule language, of the box for rules that do not check
        QVERIFY(shownAt(1) == first);
    }
};

QTEST_MAIN(QtMessagePresenterTest)
#include "QtMessagePresenterTest.moc"
