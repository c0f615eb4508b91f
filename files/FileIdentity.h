#pragma once
// What tells whether a file on disk is still the one that was read: its device and inode, size
// and modification time. Another program that rewrote or replaced the file changes one of them.

#include <QString>

#include <cstdint>

struct FileIdentity {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;

    static FileIdentity Of(const QString& path);
    bool operator==(const FileIdentity&) const = default;
};
