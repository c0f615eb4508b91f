#pragma once
// Shows the error report of the current incident (the desktop program's report window) and
// answers it through modFailSafe::AnswerReport before it returns.

class ReportPresenter {
public:
    virtual ~ReportPresenter() = default;
    virtual void present() = 0;
};

void SetReportPresenter(ReportPresenter* presenter);  // nullptr: reports are not shown (Continue)
ReportPresenter* CurrentReportPresenter();
