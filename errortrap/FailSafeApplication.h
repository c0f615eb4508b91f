#pragma once
// The desktop program's application object: an exception that escapes an event handler goes
// to the error trap instead of ending the program.

#include <QApplication>

class FailSafeApplication : public QApplication {
public:
    FailSafeApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
