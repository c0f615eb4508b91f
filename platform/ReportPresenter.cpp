#include "platform/ReportPresenter.h"

namespace {
ReportPresenter* gPresenter = nullptr;
}

void SetReportPresenter(ReportPresenter* presenter) { gPresenter = presenter; }
ReportPresenter* CurrentReportPresenter() { return gPresenter; }
