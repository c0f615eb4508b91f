#pragma once
// Test double of the message seam: answers from a queue and records every box shown.
// A box met with no queued answer is "unexpected"; an answer left over is "unused".
// Both make the test fail (see SeamTest, and VerifyMessagesSettled in SheetTest.h).

#include "platform/MessageBox.h"

#include <QList>
#include <QStringList>

class ScriptedMessages : public MessagePresenter {
public:
    ScriptedMessages() { SetMessagePresenter(this); }
    ~ScriptedMessages() override { SetMessagePresenter(nullptr); }

    // Queues the answer to the next box.
    ScriptedMessages& answer(MsgResult result)
    {
        mAnswers.append(result);
        return *this;
    }

    MsgResult show(const MessageRequest& request) override
    {
        mShown.append(request);
        if (mAnswers.isEmpty()) {
            mUnexpected.append(request.text);
            return MsgResult::Cancel;
        }
        return mAnswers.takeFirst();
    }

    const QList<MessageRequest>& shown() const { return mShown; }
    const MessageRequest& last() const { return mShown.last(); }
    QStringList texts() const
    {
        QStringList out;
        for (const MessageRequest& r : mShown)
            out << r.text;
        return out;
    }
    const QStringList& unexpected() const { return mUnexpected; }
    qsizetype unusedAnswers() const { return mAnswers.size(); }
    void clear()
    {
        mShown.clear();
        mUnexpected.clear();
        mAnswers.clear();
    }

private:
    QList<MsgResult> mAnswers;
    QList<MessageRequest> mShown;
    QStringList mUnexpected;
};
