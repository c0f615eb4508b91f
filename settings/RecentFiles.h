#pragma once
// The designs opened or saved last, newest first, kept in the settings store under
// "RecentFiles" so that the File menu offers them again in the next run.

#include <QStringList>

class RecentFiles {
public:
    static constexpr int kMaxFiles = 4;

    // The stored paths, newest first; at most kMaxFiles.
    QStringList Paths() const;
    // Puts the path first; an earlier entry of the same path goes, the oldest beyond
    // kMaxFiles drops off.
    void Add(const QString& path);
};
