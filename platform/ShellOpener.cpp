#include "platform/ShellOpener.h"

namespace {
ShellOpener* gOpener = nullptr;
}

void SetShellOpener(ShellOpener* opener) { gOpener = opener; }

bool OpenWithShell(const ShellOpenRequest& request) { return gOpener && gOpener->open(request); }
