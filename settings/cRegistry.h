#pragma once
// Access to the settings store, one value at a time, addressed the way the program names
// its keys: a section path below the shared default profile and a value name.
//
// A section ".Default\Software\<organisation>\<application>" is the root of that
// application's QSettings store; further components ("...\Vantrel\frmMain") are groups in
// it. Text values are stored as strings, whole numbers as integers.
//
// Reads never fail: a section or value that cannot be read gives `Default`. Writes and key
// creation that fail raise RegistryError.

#include <QString>
#include <QVariant>

#include <cstdint>

class cRegistry {
public:
    // Data types used when writing.
    enum ValueTypes : std::int32_t { REG_SZ = 1, REG_DWORD = 4 };
    // The root every section lives under (the users' hive); it appears in error texts.
    static constexpr std::int32_t HKEY_USERS = std::int32_t(0x80000003u);

    QString SectionKey;
    QString ValueKey;
    std::int32_t ValueType = REG_SZ;
    QVariant Default = QString();

    QVariant Value() const;
    void setValue(const QVariant& value);

    // True when the section holds anything: a value of its own or of a section below it.
    bool KeyExists() const;
    // A section comes into being with its first value; creating one checks that the store
    // can be written and raises RegistryError when it cannot.
    bool CreateKey();

private:
    [[noreturn]] void RaiseSetValueFailed(const QVariant& value) const;
    [[noreturn]] void RaiseCreateKeyFailed() const;
};
