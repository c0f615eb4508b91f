#pragma once

#include "app/HelpViewer.h"

// Opens the HTML help in the desktop's browser at the context's anchor.
class QtHelpViewer : public HelpViewer {
public:
    void showHelp(int context) override;
};
