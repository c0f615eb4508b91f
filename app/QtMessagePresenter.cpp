#include "app/QtMessagePresenter.h"

#include "app/HelpViewer.h"

#include <QApplication>
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
    // QMessageBox closes on every button; Help shows the help and puts the box back up.
    for (;;) {
        const int pressed = box.exec();
        if (pressed == QMessageBox::Help) {
            ShowHelp(request.helpContext);
            continue;
        }
        return FromQtButton(pressed);
    }
}
