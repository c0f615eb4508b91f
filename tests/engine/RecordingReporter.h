#pragma once
// Engine reporter for tests: records every message and progress call, answers messages from
// a queue (OK when the queue is empty) and answers Stop from a given evolution count on, or
// from a given call of the compaction's progress on.

#include "engine/EngineReporter.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

class RecordingReporter : public EngineReporter {
public:
    struct Progress {
        double fraction;
        int32_t numComplete;
        int32_t smallest;
    };

    EngineAnswer showMessage(const EngineMessage& message) override
    {
        messages.push_back(message);
        if (answers.empty())
            return EngineAnswer::Ok;
        const EngineAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showNWayProgress() override { ++nwayShown; }
    bool updateNWayProgress(double fraction, int32_t numComplete, int32_t smallest) override
    {
        progress.push_back({fraction, numComplete, smallest});
        if (numComplete != -1)
            evolutionCalls.push_back({fraction, numComplete, smallest});
        else if (smallest != -1)
            ++compactionCalls;
        return (stopAtEvolution > 0 && numComplete >= stopAtEvolution) ||
               (stopAtCompactionCall > 0 && compactionCalls >= stopAtCompactionCall);
    }
    void closeNWayProgress() override { ++nwayClosed; }
    void showStatusProgress() override { ++statusShown; }
    bool updateStatusProgress(int barType, double fraction) override
    {
        statusCalls.push_back({barType, fraction});
        return false;
    }
    void setBusyPointer(bool busy) override { busyCalls.push_back(busy); }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto& m : messages)
            result.push_back(m.text);
        return result;
    }

    std::vector<EngineMessage> messages;
    std::deque<EngineAnswer> answers;
    std::vector<Progress> progress;
    std::vector<Progress> evolutionCalls;
    std::vector<std::pair<int, double>> statusCalls;
    std::vector<bool> busyCalls;
    int32_t stopAtEvolution = 0;
    int32_t stopAtCompactionCall = 0;
    int32_t compactionCalls = 0;
    int nwayShown = 0;
    int nwayClosed = 0;
    int statusShown = 0;
};

// Expects exactly one message, shown as given.
inline void ExpectOnlyMessage(const RecordingReporter& reporter, const std::string& text, EngineButtons buttons,
                              EngineIcon icon, int helpContext)
{
    ASSERT_EQ(reporter.messages.size(), 1u);
    const EngineMessage& message = reporter.messages[0];
    EXPECT_EQ(message.text, text);
    EXPECT_EQ(message.buttons, buttons);
    EXPECT_EQ(message.icon, icon);
    EXPECT_EQ(message.helpContext, helpContext);
}
