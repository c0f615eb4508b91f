#pragma once
// Catches what is written on standard error while it lives. The workbook library reports its
// failures there in its own lines ("[ERROR] ... System error = No space left on device"); they
// are taken back so that the user reads one message in the program's own words instead.
// Standard error is the process's: use it only while no other thread may write there.

#include <QByteArray>

class StandardErrorCapture {
public:
    StandardErrorCapture();
    ~StandardErrorCapture();
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;

    // Gives standard error back and returns what was caught (the first 64 KB at most; a
    // writer that says more loses the rest rather than waiting).
    QByteArray Finish();

private:
    int mSaved = -1;    // standard error as it was
    int mReadEnd = -1;  // the pipe that stands in for it
};
