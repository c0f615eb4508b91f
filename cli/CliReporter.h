#pragma once
// The command line's face: the system's messages go to standard error, questions are
// answered from the command line, and a progress line is drawn while standard error is a
// terminal.

#include "platform/MessageBox.h"

#include <vantrel/design.hpp>

class CliReporter : public MessagePresenter {
public:
    CliReporter();
    ~CliReporter() override;

    // The answer to every Yes/No question (the command line has no one to ask).
    void setQuestionAnswer(MsgResult answer) { mQuestionAnswer = answer; }
    // Whether a question was shown and answered so.
    bool answeredAQuestion() const { return mAnsweredAQuestion; }

    MsgResult show(const MessageRequest& request) override;

    // The search's progress line; never stops it.
    bool SearchProgress(const vantrel::Progress& progress);
    // The listing's; never cancels it.
    bool ListingProgress(int step, double fraction);
    // Ends the progress line.
    void CloseProgress();

private:
    MsgResult mQuestionAnswer = MsgResult::No;
    bool mAnsweredAQuestion = false;
    bool mTerminal = false;
    bool mLineOpen = false;
};
