#pragma once
// Opens the file through Qt's desktop services (the desktop's own opener). The desktop takes
// no parameters or working folder for a document; they are not passed on.

#include "platform/ShellOpener.h"

class QtShellOpener : public ShellOpener {
public:
    bool open(const ShellOpenRequest& request) override;
};
