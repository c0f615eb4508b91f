#pragma once
// Hands a file to the desktop, which opens it with the application associated with its type,
// or a web address (http, https), which it opens in the browser.

#include <QString>

class QObject;

struct ShellOpenRequest {
    QString file;        // a path, or a web address
    QString verb;        // "open"
    QString parameters;  // empty: the file itself is opened
    QString folder;      // working folder; empty: none
    int showCommand = 1;
    QObject* owner = nullptr;
};

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // True when the desktop took the file.
    virtual bool open(const ShellOpenRequest& request) = 0;
};

void SetShellOpener(ShellOpener* opener);  // nullptr: nothing can be opened
bool OpenWithShell(const ShellOpenRequest& request);
