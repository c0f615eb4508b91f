#include "platform/qt/QtMessagePresenter.h"

#include "platform/HelpViewer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QMessageBox>

namespace {
QMessageBox::Icon ToQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MsgResult FromQtButton(int button)
{
    switch (button) {
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    default: return MsgResult::Ok;
    }
}
}  // namespace

MsgResult QtMessagePresenter::show(const MessageRequest& request)
{
    QMessageBox box(ToQtIcon(request.icon), kMessageTitle, request.text,
                    ToQtButtons(request.buttons), mParent ? mParent : QApplication::activeWindow());
    if (request.helpContext != 0)
        box.addButton(QMessageBox::Help);
    // Escape and the close box answer a box as its most cautious button does: OK where OK is
    // the only answer, Cancel where there is one. A Yes/No box gets an unseen Cancel for them,
    // so that a question left unanswered is told apart from No.
    if (request.buttons == MsgButtons::Ok)
        box.setEscapeButton(box.button(QMessageBox::Ok));
    else if (request.buttons == MsgButtons::YesNo) {
        QAbstractButton* dismiss = box.addButton(QMessageBox::Cancel);
        dismiss->hide();
        box.setEscapeButton(dismiss);
    }
    const bool okBox = request.buttons == MsgButtons::Ok || request.buttons == MsgButtons::OkCancel;
    box.setDefaultButton(okBox ? QMessageBox::Ok : QMessageBox::Yes);
    // QMessageBox closes on every button; Help shows the help and puts the box back up, the
    // focus back on its default answer.
    for (;;) {
        const int pressed = box.exec();
        if (pressed == QMessageBox::Help) {
            ShowHelp(request.helpContext);
            if (QPushButton* answer = box.defaultButton())
                answer->setFocus();
            continue;
        }
        return FromQtButton(pressed);
    }
}
