#pragma once
// A message box as the engine asks for it. The command layer shows it with the title
// "Vantrel"; a non-zero help context adds a Help button that opens the help at that context.

#include <string>

enum class EngineButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class EngineIcon { None, Information, Exclamation, Critical, Question };
enum class EngineAnswer { Ok, Cancel, Yes, No };

struct EngineMessage {
    std::string text;
    EngineButtons buttons = EngineButtons::Ok;
    EngineIcon icon = EngineIcon::None;
    int helpContext = 0;  // 0: no Help button
};
