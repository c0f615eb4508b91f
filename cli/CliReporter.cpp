#include "cli/CliReporter.h"

#include <cstdio>
#include <unistd.h>

CliReporter::CliReporter() : mTerminal(isatty(STDERR_FILENO) == 1) { SetMessagePresenter(this); }

CliReporter::~CliReporter()
{
    CloseProgress();
    SetMessagePresenter(nullptr);
}

MsgResult CliReporter::show(const MessageRequest& request)
{
    CloseProgress();
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

bool CliReporter::SearchProgress(const vantrel::Progress& progress)
{
    if (mTerminal && progress.evolutionsDone != -1) {
        std::fprintf(stderr, "\rEvolutions: %d  Fewest test cases: %d   ", progress.evolutionsDone, progress.bestRows);
        mLineOpen = true;
    } else if (mTerminal && progress.bestRows != -1) {
        std::fprintf(stderr, "\rCompacting: %d test cases   ", progress.bestRows);
        mLineOpen = true;
    }
    return true;
}

bool CliReporter::ListingProgress(int barType, double fraction)
{
    if (mTerminal && barType == 1) {
        std::fprintf(stderr, "\rListing combinations: %3d%%", int(fraction * 100));
        mLineOpen = true;
    }
    return true;
}

void CliReporter::CloseProgress()
{
    if (mLineOpen)
        std::fprintf(stderr, "\n");
    mLineOpen = false;
}
