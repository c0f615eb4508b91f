#include "errortrap/FailSafeApplication.h"

#include "errortrap/modFailSafe.h"

#include <QEvent>
#include <QMetaEnum>

FailSafeApplication::FailSafeApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool FailSafeApplication::notify(QObject* receiver, QEvent* event)
{
    for (;;) {
        modFailSafe::ActionCode code = modFailSafe::kContinue;
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            // Named as a handler names itself: the receiver's class, and the event.
            const QString module = receiver ? QString::fromLatin1(receiver->metaObject()->className()) : QString();
            const char* type = QMetaEnum::fromType<QEvent::Type>().valueToKey(event ? event->type() : QEvent::None);
            code = modFailSafe::fsERROR(module, QStringLiteral("Event ") + QString::fromLatin1(type ? type : "None"));
        }
        if (code == modFailSafe::kBreak)
            BreakIntoDebugger();
        // Continue leaves the handler; the event counts as not handled.
        if (code != modFailSafe::kRetry && code != modFailSafe::kBreak)
            return false;
    }
}
