#pragma once
// The command line's face: the system's messages go to standard error, questions are
// answered from the command line, and a progress line is drawn while standard error is a
// terminal.

#include "engine/EngineReporter.h"
#include "platform/MessageBox.h"

class CliReporter : public MessagePresenter, public EngineReporter {
public:
    CliReporter();
    ~CliReporter() override;

    // The answer to every Yes/No question (the command line has no one to ask).
    void setQuestionAnswer(MsgResult answer) { mQuestionAnswer = answer; }
    // Whether a question was shown and answered so.
    bool answeredAQuestion() const { return mAnsweredAQuestion; }

    MsgResult show(const MessageRequest& request) override;

    EngineAnswer showMessage(const EngineMessage& message) override;
    void showNWayProgress() override {}
    bool updateNWayProgress(double fraction, int32_t numComplete, int32_t smallest) override;
    void closeNWayProgress() override;
    void showStatusProgress() override {}
    bool updateStatusProgress(int barType, double fraction) override;
    void setBusyPointer(bool) override {}

private:
    MsgResult mQuestionAnswer = MsgResult::No;
    bool mAnsweredAQuestion = false;
    bool mTerminal = false;
    bool mLineOpen = false;
};
