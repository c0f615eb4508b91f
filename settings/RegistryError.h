#pragma once
// A failed write to the settings store, raised by cRegistry. Number, source and
// description are those of the store's run-time error.

#include <QString>

#include <stdexcept>

class RegistryError : public std::runtime_error {
public:
    static constexpr int kNumber = 26001;

    RegistryError(const QString& source, const QString& description)
        : std::runtime_error(description.toStdString()), mSource(source), mDescription(description)
    {
    }

    int number() const { return kNumber; }
    const QString& source() const { return mSource; }
    const QString& description() const { return mDescription; }

private:
    QString mSource;
    QString mDescription;
};
