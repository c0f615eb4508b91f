#include "cli/CliReporter.h"

#include "model/EngineDesign.h"

#include <cstdio>
#include <unistd.h>

CliReporter::CliReporter() : mTerminal(isatty(STDERR_FILENO) == 1) { SetMessagePresenter(this); }

CliReporter::~CliReporter()
{
    closeNWayProgress();
    SetMessagePresenter(nullptr);
}

MsgResult CliReporter::show(const MessageRequest& request)
{
    closeNWayProgress();
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    switch (request.buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        mAnsweredAQuestion = true;
        return mQuestionAnswer;
    default:
        return MsgResult::Ok;
    }
}

EngineAnswer CliReporter::showMessage(const EngineMessage& message) { return ShowEngineMessage(message); }

bool CliReporter::updateNWayProgress(double fraction, int32_t numComplete, int32_t smallest)
{
    if (mTerminal && numComplete != -1) {
        std::fprintf(stderr, "\rEvolutions: %d  Fewest test cases: %d   ", numComplete, smallest);
        mLineOpen = true;
    } else if (mTerminal && smallest != -1) {
        std::fprintf(stderr, "\rCompacting: %d test cases   ", smallest);
        mLineOpen = true;
    }
    (void)fraction;
    return false;
}

bool CliReporter::updateStatusProgress(int barType, double fraction)
{
    if (mTerminal && barType == 1) {
        std::fprintf(stderr, "\rListing combinations: %3d%%", int(fraction * 100));
        mLineOpen = true;
    }
    return false;
}

void CliReporter::closeNWayProgress()
{
    if (mLineOpen)
        std::fprintf(stderr, "\n");
    mLineOpen = false;
}
