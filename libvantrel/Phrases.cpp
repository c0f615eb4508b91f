#include "libvantrel/Phrases.h"

std::string ProblemPhrase(const vantrel::Design::Impl& design, const CoverageProblemRow& row)
{
    if (row.unknownFactor >= 0)
        return "holds a name that is no level of [" + design.tables.Name(row.unknownFactor, 0) + "]";
    std::string phrase;
    if (row.broken.Any()) {
        phrase = "breaks " + DescribeStatements(row.broken, *design.constraints, design.model.rulesFirstLine);
        if (const size_t together = phrase.rfind(" together"); together != std::string::npos && together + 9 == phrase.size())
            phrase.erase(together);
    }
    if (row.invalidLevels > 1)
        phrase += (phrase.empty() ? "holds " : " and holds ") + std::to_string(row.invalidLevels) + " invalid levels";
    return phrase;
}

std::string RowProblem(const vantrel::Design::Impl& design, const std::vector<int32_t>& codes)
{
    const ConstraintModel& model = *design.constraints;
    CoverageProblemRow row;
    for (int32_t f = 0; f < model.NumFactors(); ++f) {
        if (codes[size_t(f)] < 0) {
            row.unknownFactor = f;
            return ProblemPhrase(design, row);
        }
        row.invalidLevels += model.Invalid(model.LevelOffset()[size_t(f)] + codes[size_t(f)]);
    }
    if (row.invalidLevels <= 1 && model.RowIsValid(codes.data()))
        return {};
    row.broken = model.BrokenBy(codes.data());
    return ProblemPhrase(design, row);
}

vantrel::Reason ReasonOf(const vantrel::Design::Impl& design, const ExclusionReason& reason)
{
    vantrel::Reason told;
    static_assert(int(vantrel::Reason::Kind::InvalidLevels) == int(ExclusionReason::Kind::InvalidLevels));
    told.kind = vantrel::Reason::Kind(int(reason.kind));
    told.statements = design.StatementsOf(reason.statements);
    told.example = reason.example;
    told.phrase = ReasonPhrase(reason, *design.constraints, design.model.rulesFirstLine);
    return told;
}

std::string vantrel::Reason::Sentence(const std::string& what) const
{
    if (kind == Kind::CanOccur)
        return what + " can occur.";
    if (kind == Kind::Statements)
        return what + " cannot occur: " + phrase + ".";
    std::string sentence = phrase;
    sentence[0] = char(sentence[0] - 'a' + 'A');  // a sentence of its own
    return what + " cannot occur. " + sentence + ".";
}
