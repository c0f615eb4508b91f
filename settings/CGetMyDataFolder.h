#pragma once
// The folders the file dialogs start in.

#include <QString>

#include <cstdint>

class CGetMyDataFolder {
public:
    // The shell's id of the user's documents folder.
    static constexpr std::int32_t kDocumentsFolder = 5;

    // The user's documents folder with a trailing "/". When it cannot be determined or
    // does not exist, the home folder with a trailing "/".
    QString GetMyDocumentsFolderPath();
    // The operating system's own folder, without a trailing "/".
    QString GetWindowsDir();

    // The path of a special folder with a trailing "/"; "" for a folder that is unknown,
    // cannot be determined or does not exist.
    QString fGetSpecialFolder(std::int32_t lFolderId);
    // The part of `s` before its first NUL character; `s` itself when it has none.
    static QString TrimNull(const QString& s);
};
