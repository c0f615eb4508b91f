// The real message box: its title, its buttons, and a Help button that shows the help and
// leaves the box up. Boxes are answered from a timer, so nothing waits on a person.
#include "app/QtMessagePresenter.h"
#include "tests/support/RecordingHelpViewer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
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
    void titleTextIconButtonsAndTheAnswerPressed()
    {
        QtMessagePresenter presenter;
        const struct {
            MsgButtons buttons;
            MsgIcon icon;
            QMessageBox::StandardButton press;
            MsgResult answer;
            QMessageBox::Icon shown;
        } cases[] = {{MsgButtons::Ok, MsgIcon::Exclamation, QMessageBox::Ok, MsgResult::Ok, QMessageBox::Warning},
                     {MsgButtons::YesNoCancel, MsgIcon::Question, QMessageBox::No, MsgResult::No, QMessageBox::Question},
                     {MsgButtons::YesNoCancel, MsgIcon::Question, QMessageBox::Cancel, MsgResult::Cancel, QMessageBox::Question},
                     {MsgButtons::YesNo, MsgIcon::None, QMessageBox::Yes, MsgResult::Yes, QMessageBox::NoIcon}};
        for (const auto& c : cases) {
            QString title, text;
            QMessageBox::Icon icon = QMessageBox::NoIcon;
            bool helpButton = true;
            OnNextBox([&](QMessageBox* box) {
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                helpButton = box->button(QMessageBox::Help);  // no help context, no Help button
                Click(box, c.press);
            });
            QCOMPARE(presenter.show({"Something went wrong", c.buttons, c.icon, 0}), c.answer);
            QCOMPARE(title, QString("Vantrel"));
            QCOMPARE(text, QString("Something went wrong"));
            QCOMPARE(icon, c.shown);
            QVERIFY(!helpButton);
        }
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
                Click(again, QMessageBox::Ok);
            });
        });
        QCOMPARE(presenter.show({"Factor 'A' has no levels defined.", MsgButtons::Ok, MsgIcon::Critical, 29}),
                 MsgResult::Ok);
        QCOMPARE(help.contexts(), QList<int>{29});
        QCOMPARE(boxesSeen, 2);
    }
};

QTEST_MAIN(QtMessagePresenterTest)
#include "QtMessagePresenterTest.moc"
