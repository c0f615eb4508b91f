#pragma once
// Test double of the report window: records what each report showed and answers it with a
// scripted action and note. A hook can run while the report is open, as events do while the
// real window waits for the user.

#include "errortrap/modFailSafe.h"
#include "platform/ReportPresenter.h"

#include <QCoreApplication>
#include <QThread>

#include <functional>
#include <utility>

class RecordingReportPresenter : public ReportPresenter {
public:
    struct Shown {
        QString headline;
        QList<modFailSafe::ErrorRecord> records;
        QStringList trace;
        bool onGuiThread = false;
    };

    RecordingReportPresenter() { SetReportPresenter(this); }
    ~RecordingReportPresenter() override { SetReportPresenter(nullptr); }

    void present() override
    {
        mShown.append({modFailSafe::Headline(), modFailSafe::Records(), modFailSafe::TraceText(),
                       QThread::currentThread() == QCoreApplication::instance()->thread()});
        bool hookAnswers = false;
        if (auto during = std::exchange(whileOpen, {})) {
            hookAnswers = std::exchange(answerInHook, false);
            during();
        }
        if (!hookAnswers)
            modFailSafe::AnswerReport(code, note);
    }

    const QList<Shown>& shown() const { return mShown; }

    modFailSafe::ActionCode code = modFailSafe::kContinue;
    QString note;
    std::function<void()> whileOpen;
    bool answerInHook = false;  // the next hook answers its report itself

private:
    QList<Shown> mShown;
};
