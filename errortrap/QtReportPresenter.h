#pragma once
// The desktop program's face of the report: frmFAILSAFE shown modally, and the printers,
// screens and input devices that the system report asks for.

#include "errortrap/SystemReport.h"
#include "platform/ReportPresenter.h"

class QtReportPresenter : public ReportPresenter {
public:
    void present() override;
    // What the windowing system tells about the devices.
    static SystemDevices Devices();
};
