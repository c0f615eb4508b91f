#pragma once
// The wait cursor as the application's override cursor. There is no animated cursor file
// on this platform; the standard busy cursor stands in for it.

#include "platform/WaitCursor.h"

class QtWaitCursor : public WaitCursor {
public:
    void show(const QString& file) override;
    void restore() override;
};
