#include "files/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

FileIdentity FileIdentity::Of(const QString& path)
{
    FileIdentity identity;
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0)
        return identity;
    identity.exists = true;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedNanoseconds = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return identity;
}
