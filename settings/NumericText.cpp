#include "settings/NumericText.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

std::optional<double> NumericTextValue(const QString& text)
{
    static const QRegularExpression kNumber(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    const QString t = text.trimmed();
    if (!kNumber.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok) {
        // The text is a well-formed number whose size a double cannot hold: an exponent
        // far beyond the range overflows to infinity, far below it underflows to zero.
        if (std::isinf(value))
            return value;
        return t.startsWith(QLatin1Char('-')) ? -0.0 : 0.0;
    }
    return value;
}

std::optional<std::int32_t> RoundToLong(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;  // halves go to the even neighbour
    if (rounded < double(std::numeric_limits<std::int32_t>::min())
        || rounded > double(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return std::int32_t(rounded);
}

std::optional<std::int32_t> NumericTextToLong(const QString& text)
{
    const std::optional<double> value = NumericTextValue(text);
    return value ? RoundToLong(*value) : std::nullopt;
}
