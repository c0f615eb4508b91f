#pragma once
// The one way the program shows a message box. The title is always "Vantrel".
// A non-zero help context adds a Help button that opens the help at that context.

#include <QString>

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgResult { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int helpContext = 0;  // 0: no Help button
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual MsgResult show(const MessageRequest& request) = 0;
};

// Installs the presenter every ShowMessage goes to; nullptr restores the silent default,
// which answers OK, Yes or the first button.
void SetMessagePresenter(MessagePresenter* presenter);
MessagePresenter* CurrentMessagePresenter();

MsgResult ShowMessage(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                      MsgIcon icon = MsgIcon::None, int helpContext = 0);
// The same box, shown by the presenter given (the window's commands have theirs handed in).
MsgResult ShowMessage(MessagePresenter& presenter, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                      MsgIcon icon = MsgIcon::None, int helpContext = 0);

// The title of every box the program shows.
inline constexpr QLatin1String kMessageTitle("Vantrel");
