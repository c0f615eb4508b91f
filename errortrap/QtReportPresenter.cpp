#include "errortrap/QtReportPresenter.h"

#include "errortrap/frmFAILSAFE.h"

#include <QApplication>
#include <QInputDevice>
#include <QPrinterInfo>
#include <QScreen>

void QtReportPresenter::present()
{
    frmFAILSAFE window(QApplication::activeWindow());
    window.Form_Load();
    window.exec();
}

SystemDevices QtReportPresenter::Devices()
{
    SystemDevices d;
    d.defaultPrinter = QPrinterInfo::defaultPrinterName();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        d.colors = QString::number(1LL << qMin(screen->depth(), 48));
        d.screenSize = QStringLiteral("%1 X %2").arg(screen->size().width()).arg(screen->size().height());
    }
    bool mouse = false;
    QStringList keyboards;
    for (const QInputDevice* device : QInputDevice::devices()) {
        mouse = mouse || device->type() == QInputDevice::DeviceType::Mouse ||
                device->type() == QInputDevice::DeviceType::TouchPad;
        if (device->type() == QInputDevice::DeviceType::Keyboard)
            keyboards << device->name();
    }
    d.mousePresent = mouse ? QStringLiteral("YES") : QStringLiteral("NO");
    d.keyboardDriver = QGuiApplication::platformName();
    d.keyboardType = keyboards.join(QStringLiteral(", "));
    return d;
}
