#include "files/StandardErrorCapture.h"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

StandardErrorCapture::StandardErrorCapture()
{
    int ends[2];
    if (pipe(ends) != 0)
        return;
    // A full pipe drops the rest instead of blocking the writer.
    fcntl(ends[1], F_SETFL, fcntl(ends[1], F_GETFL) | O_NONBLOCK);
    fcntl(ends[0], F_SETFL, fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    std::fflush(stderr);
    mSaved = dup(STDERR_FILENO);
    if (mSaved < 0 || dup2(ends[1], STDERR_FILENO) < 0) {
        if (mSaved >= 0)
            close(mSaved);
        mSaved = -1;
        close(ends[0]);
    } else {
        mReadEnd = ends[0];
    }
    close(ends[1]);
}

StandardErrorCapture::~StandardErrorCapture() { Finish(); }

QByteArray StandardErrorCapture::Finish()
{
    QByteArray caught;
    if (mSaved < 0)
        return caught;
    std::fflush(stderr);
    dup2(mSaved, STDERR_FILENO);
    close(mSaved);
    mSaved = -1;
    char buffer[4096];
    for (ssize_t n; (n = read(mReadEnd, buffer, sizeof buffer)) > 0;)
        caught.append(buffer, qsizetype(n));
    close(mReadEnd);
    mReadEnd = -1;
    return caught;
}
