#include "model/DesignModel.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// UTF-8 bytes as text, a U+FEFF at their start kept as the character it is.
QString Decoded(const char* bytes, std::size_t size)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(bytes, qsizetype(size)));
}

vantrel::TextLayout ToTextLayout(const ModelTextLayout& layout, int numFactors)
{
    vantrel::TextLayout text;
    for (const auto& [f, lines] : layout.aboveFactor)
        if (f >= 1 && f <= numFactors)
            text.aboveFactor[f - 1] = Utf8Of(lines);
    text.aboveRows = Utf8Of(layout.aboveRows);
    text.aboveRules = Utf8Of(layout.aboveRules);
    text.endLines = Utf8Of(layout.endLines);
    for (const auto& [rule, written] : layout.groupLines)
        text.groupLines[Utf8Of(rule)] = Utf8Of(written);
    text.crLfLineEnds = layout.crLfLineEnds;
    return text;
}

ModelTextLayout ToModelTextLayout(const vantrel::TextLayout& text)
{
    ModelTextLayout layout;
    for (const auto& [f, lines] : text.aboveFactor)
        layout.aboveFactor[f + 1] = TextOfUtf8(lines);
    layout.aboveRows = TextOfUtf8(text.aboveRows);
    layout.aboveRules = TextOfUtf8(text.aboveRules);
    layout.endLines = TextOfUtf8(text.endLines);
    for (const auto& [rule, written] : text.groupLines)
        layout.groupLines[TextOfUtf8(rule)] = TextOfUtf8(written);
    layout.crLfLineEnds = text.crLfLineEnds;
    return layout;
}

void PutFactors(const vantrel::Model& model, DesignText& d)
{
    const auto n = std::int32_t(model.factors.size());
    d.numFactors = n;
    d.levelCounts = LongArray(1, n);
    for (std::int32_t f = 1; f <= n; ++f) {
        d.levelCounts(f) = std::int32_t(model.factors[std::size_t(f - 1)].levels.size());
        d.maxNumLevels = std::max(d.maxNumLevels, d.levelCounts(f));
    }
    d.factors = TextTable(0, d.maxNumLevels, 1, n);
    for (std::int32_t f = 1; f <= n; ++f) {
        const vantrel::Factor& factor = model.factors[std::size_t(f - 1)];
        d.factors(0, f) = TextOfUtf8(factor.name);
        for (std::int32_t j = 1; j <= d.levelCounts(f); ++j) {
            const vantrel::Level& level = factor.levels[std::size_t(j - 1)];
            d.factors(j, f) = TextOfUtf8(level.name);
            if (level.invalid)
                d.invalidLevels.emplace(j, f);
            if (level.weight != 1)
                d.levelWeights[{j, f}] = level.weight;
            for (const std::string& alias : level.aliases)
                d.levelAliases[{j, f}] << TextOfUtf8(alias);
        }
    }
}

}  // namespace

vantrel::Model ToModel(const DesignText& text, int rulesFirstLine)
{
    vantrel::Model model;
    const int numFactors = text.factors.isDimensioned() ? text.factors.colUpper() : 0;
    for (int f = 1; f <= numFactors; ++f) {
        vantrel::Factor& factor = model.factors.emplace_back();
        factor.name = Utf8Of(text.factors.at(0, f));
        for (int l = 1; l <= text.levelCounts.at(f); ++l) {
            vantrel::Level& level = factor.levels.emplace_back();
            level.name = Utf8Of(text.factors.at(l, f));
            level.invalid = text.invalidLevels.count({l, f}) > 0;
            if (const auto weight = text.levelWeights.find({l, f}); weight != text.levelWeights.end())
                level.weight = weight->second;
            if (const auto aliases = text.levelAliases.find({l, f}); aliases != text.levelAliases.end())
                for (const QString& alias : aliases->second)
                    level.aliases.push_back(Utf8Of(alias));
        }
    }
    for (int k = 1; k <= text.numConstraints; ++k)
        model.constraints.push_back({Utf8Of(text.constraints.at(k, 1)), Utf8Of(text.constraints.at(k, 2)),
                                     Utf8Of(text.constraints.at(k, 3)), Utf8Of(text.constraints.at(k, 4))});
    model.rules = Utf8Of(text.rules);
    model.rulesFirstLine = rulesFirstLine;
    for (int r = 1; r <= text.numPrevRuns; ++r) {
        vantrel::Row& row = model.previous.emplace_back();
        for (int f = 1; f <= numFactors; ++f)
            row.push_back(Utf8Of(text.prevRuns.at(r, f)));
    }
    model.textLayout = ToTextLayout(text.textLayout, numFactors);
    return model;
}

DesignText ToDesignText(const vantrel::Model& model)
{
    DesignText d;
    PutFactors(model, d);
    d.numConstraints = std::int32_t(model.constraints.size());
    if (d.numConstraints > 0)
        d.constraints = TextTable(1, d.numConstraints, 1, 4);
    for (std::int32_t c = 1; c <= d.numConstraints; ++c) {
        const vantrel::ConstraintRow& row = model.constraints[std::size_t(c - 1)];
        d.constraints(c, 1) = TextOfUtf8(row.ifFactor);
        d.constraints(c, 2) = TextOfUtf8(row.ifLevel);
        d.constraints(c, 3) = TextOfUtf8(row.thenFactor);
        d.constraints(c, 4) = TextOfUtf8(row.thenLevel);
    }
    d.rules = TextOfUtf8(model.rules);
    d.rulesFirstLine = model.rulesFirstLine;
    d.numPrevRuns = std::int32_t(model.previous.size());
    if (d.numPrevRuns > 0)
        d.prevRuns = TextTable(1, d.numPrevRuns, 1, d.numFactors);
    for (std::int32_t r = 1; r <= d.numPrevRuns; ++r)
        for (std::int32_t f = 1; f <= d.numFactors && std::size_t(f) <= model.previous[std::size_t(r - 1)].size(); ++f)
            d.prevRuns(r, f) = TextOfUtf8(model.previous[std::size_t(r - 1)][std::size_t(f - 1)]);
    d.textLayout = ToModelTextLayout(model.textLayout);
    return d;
}

std::string Utf8Of(const QString& text)
{
    std::string bytes;
    qsizetype from = 0;  // the start of the text not yet written
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isSurrogate())
            continue;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        bytes += QStringView(text).mid(from, i - from).toUtf8().toStdString();
        const char16_t half = text[i].unicode();
        bytes += char(0xE0 | (half >> 12));
        bytes += char(0x80 | ((half >> 6) & 0x3F));
        bytes += char(0x80 | (half & 0x3F));
        from = i + 1;
    }
    if (from == 0)
        return text.toStdString();
    return bytes + QStringView(text).mid(from).toUtf8().toStdString();
}

QString TextOfUtf8(std::string_view bytes)
{
    QString text;
    std::size_t from = 0;  // the start of the bytes not yet read
    for (std::size_t i = 0; i + 2 < bytes.size(); ++i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
        if (byte(0) != 0xED || byte(1) < 0xA0 || byte(1) > 0xBF || (byte(2) & 0xC0) != 0x80)
            continue;
        text += Decoded(bytes.data() + from, i - from);
        text += QChar(char16_t(0xD000 | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F)));
        from = i + 3;
        i += 2;
    }
    return text + Decoded(bytes.data() + from, bytes.size() - from);
}
