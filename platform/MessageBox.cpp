#include "platform/MessageBox.h"

namespace {
MessagePresenter* gPresenter = nullptr;

MsgResult DefaultAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgResult::Yes;
    default:
        return MsgResult::Ok;
    }
}
}  // namespace

void SetMessagePresenter(MessagePresenter* presenter) { gPresenter = presenter; }

MessagePresenter* CurrentMessagePresenter() { return gPresenter; }

MsgResult ShowMessage(const QString& text, MsgButtons buttons, MsgIcon icon, int helpContext)
{
    if (!gPresenter)
        return DefaultAnswer(buttons);
    return ShowMessage(*gPresenter, text, buttons, icon, helpContext);
}

MsgResult ShowMessage(MessagePresenter& presenter, const QString& text, MsgButtons buttons, MsgIcon icon,
                      int helpContext)
{
    return presenter.show(MessageRequest{text, buttons, icon, helpContext});
}
