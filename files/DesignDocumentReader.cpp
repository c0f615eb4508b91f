#include "files/DesignDocumentReader.h"

#include <vantrel/system.hpp>
#include "files/XmlShape.h"
#include "model/GridCellStore.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Far beyond a design's four levels of elements and one attribute per element.
constexpr int kMaxXmlDepth = 16;
constexpr int kMaxXmlAttributes = 16;

// One element below a section, with the texts of the elements below it.
struct Item {
    QString name;      // its "Name" attribute (a factor's name)
    QString comments;  // its "comments" attribute (a factor's, from a model text)
    std::size_t firstField = 0, fieldCount = 0;
};

struct Section {
    QString tag;
    std::vector<Item> items;
    std::vector<QString> fields;  // every item's fields, item after item
    // The fields (levels) with an invalid="1", weight="N" or aliases="a|b" mark, in order.
    struct Marked {
        std::size_t field;
        bool invalid;
        std::int32_t weight;
        QStringList aliases;
    };
    std::vector<Marked> markedFields;

    const QString& Field(const Item& item, std::size_t k) const { return fields[item.firstField + k]; }
};

// The sections of the document; only the first four are kept, the others counted, but for
// the text of the rules that may follow them.
struct Outline {
    QString root;
    std::vector<Section> sections;
    std::int64_t sectionCount = 0;
    QString rules;
    bool hasRules = false;
};

constexpr std::size_t kKeptSections = 4;

// A piece of text made only of blanks (QChar::isSpace) is not part of an element's text
// unless it stands in a CDATA section; the writer relies on that for texts of only blanks.
bool IsKeptText(const QXmlStreamReader& xml) { return xml.isCDATA() || !xml.text().trimmed().isEmpty(); }

void MarkField(const QXmlStreamAttributes& attributes, Section& section)
{
    const bool invalid = attributes.value(QLatin1String("invalid")) == QLatin1String("1");
    const std::int32_t weight = std::max(1, attributes.value(QLatin1String("weight")).toInt());
    const QString aliases = attributes.value(QLatin1String("aliases")).toString();
    if (invalid || weight > 1 || !aliases.isEmpty())
        section.markedFields.push_back({section.fields.size(), invalid, weight,
                                        aliases.isEmpty() ? QStringList() : aliases.split(QLatin1Char('|'))});
}

// Reads the document's outline; a document that is not well-formed fails with its error.
Result<Outline> ReadOutline(const QByteArray& bytes)
{
    Outline outline;
    QXmlStreamReader xml(bytes);  // from the bytes, so the declared encoding decides how they read
    xml.setNamespaceProcessing(false);
    outline.sections.reserve(kKeptSections);
    int depth = 0;
    Section* section = nullptr;  // the kept section being read
    QString* field = nullptr;    // the field whose text is being gathered, with its descendants
    bool inRules = false;        // in the rules section: its own text is gathered
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (depth == 1) {
                outline.root = xml.qualifiedName().toString();
            } else if (depth == 2) {
                ++outline.sectionCount;
                section = nullptr;
                if (outline.sections.size() < kKeptSections)
                    section = &outline.sections.emplace_back(Section{xml.qualifiedName().toString(), {}, {}, {}});
                else if (!outline.hasRules && xml.qualifiedName() == QLatin1String("rules"))
                    inRules = outline.hasRules = true;
            } else if (section && depth == 3) {
                section->items.push_back(Item{xml.attributes().value(QLatin1String("Name")).toString(),
                                              xml.attributes().value(QLatin1String("comments")).toString(),
                                              section->fields.size(), 0});
            } else if (section && depth == 4) {
                MarkField(xml.attributes(), *section);
                field = &section->fields.emplace_back();
                ++section->items.back().fieldCount;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth == 4)
                field = nullptr;
            else if (depth == 2) {
                section = nullptr;
                inRules = false;
            }
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (field && IsKeptText(xml))
                field->append(xml.text());
            else if (inRules && depth == 2)
                outline.rules.append(xml.text());
            break;
        default: break;
        }
    }
    if (xml.hasError())
        return Failure{QStringLiteral("The file is not well-formed XML: %1 (line %2, column %3).")
                           .arg(xml.errorString())
                           .arg(xml.lineNumber())
                           .arg(xml.columnNumber())};
    return outline;
}

QString NotADesign(const QString& why) { return QStringLiteral("The file is not a Vantrel design: ") + why; }

// The shape of the sections: three named ones, in order, before the matrix. They are found
// by position whatever the root is called; when they are not there, a root of another name
// is the likelier reason to give.
std::optional<QString> WhyNotDesignSections(const Outline& outline)
{
    const auto refuse = [&](const QString& why) {
        if (outline.root != QLatin1String("requirements"))
            return NotADesign(QStringLiteral("its root element is <%1>, not <requirements>.").arg(outline.root));
        return NotADesign(why);
    };
    if (outline.sectionCount < 3)
        return refuse(QStringLiteral("it has %1 of the four sections.").arg(outline.sectionCount));
    static const char* const kSectionNames[] = {"factors", "constraints", "previousruns"};
    static const char* const kOrdinals[] = {"first", "second", "third"};
    for (std::size_t i = 0; i < 3; ++i)
        if (outline.sections[i].tag != QLatin1String(kSectionNames[i]))
            return refuse(QStringLiteral("its %1 section is <%2>, not <%3>.")
                              .arg(QLatin1String(kOrdinals[i]), outline.sections[i].tag, QLatin1String(kSectionNames[i])));
    return std::nullopt;
}

}  // namespace

namespace {

// The factor table from the first section; a failure says why when it cannot be held.
Result<void> ReadFactors(const Section& factors, DesignText& d)
{
    const auto n = std::int32_t(factors.items.size());
    d.numFactors = n;
    d.levelCounts = LongArray(1, n);
    for (std::int32_t f = 1; f <= n; ++f) {
        d.levelCounts(f) = std::int32_t(factors.items[std::size_t(f - 1)].fieldCount);
        d.maxNumLevels = std::max(d.maxNumLevels, d.levelCounts(f));
    }
    if (const std::optional<QString> tooLarge = WhyFactorTableTooLarge(n, d.maxNumLevels))
        return Failure{*tooLarge};
    d.factors = TextTable(0, d.maxNumLevels, 1, n);
    for (std::int32_t f = 1; f <= n; ++f) {
        const Item& factor = factors.items[std::size_t(f - 1)];
        d.factors(0, f) = factor.name;
        if (!factor.comments.isEmpty())
            d.textLayout.aboveFactor[f] = factor.comments;
        for (std::int32_t j = 1; j <= d.levelCounts(f); ++j)
            d.factors(j, f) = factors.Field(factor, std::size_t(j - 1));
    }
    // Each marked field is a level of the factor whose fields include it.
    std::size_t item = 0;
    for (const Section::Marked& marked : factors.markedFields) {
        while (marked.field >= factors.items[item].firstField + factors.items[item].fieldCount)
            ++item;
        const std::pair<int, int> level{int(marked.field - factors.items[item].firstField) + 1, int(item) + 1};
        if (marked.invalid)
            d.invalidLevels.insert(level);
        if (marked.weight > 1)
            d.levelWeights[level] = marked.weight;
        if (!marked.aliases.isEmpty())
            d.levelAliases[level] = marked.aliases;
    }
    return {};
}

Result<void> ReadConstraints(const Section& constraints, DesignText& d)
{
    d.numConstraints = std::int32_t(constraints.items.size());
    if (d.numConstraints == 0)
        return {};
    d.constraints = TextTable(1, d.numConstraints, 1, 4);
    for (std::int32_t c = 1; c <= d.numConstraints; ++c) {
        const Item& constraint = constraints.items[std::size_t(c - 1)];
        if (constraint.fieldCount < 4)
            return Failure{
                QStringLiteral("Constraint %1 has %2 of its four fields.").arg(c).arg(constraint.fieldCount)};
        for (int k = 1; k <= 4; ++k)
            d.constraints(c, k) = constraints.Field(constraint, std::size_t(k - 1));
    }
    return {};
}

Result<void> ReadPrevRuns(const Section& prevRuns, DesignText& d)
{
    const std::int32_t n = d.numFactors;
    d.numPrevRuns = std::int32_t(prevRuns.items.size());
    if (d.numPrevRuns == 0)
        return {};
    d.prevRuns = TextTable(1, d.numPrevRuns, 1, n);
    for (std::int32_t r = 1; r <= d.numPrevRuns; ++r) {
        const Item& run = prevRuns.items[std::size_t(r - 1)];
        if (run.fieldCount < std::size_t(n))
            return Failure{QStringLiteral("Previous test %1 names a level for %2 of the %3 factors.")
                               .arg(r)
                               .arg(run.fieldCount)
                               .arg(n)};
        for (std::int32_t f = 1; f <= n; ++f)
            d.prevRuns(r, f) = prevRuns.Field(run, std::size_t(f - 1));
    }
    return {};
}

Result<void> ReadMatrix(const Section& rows, DesignText& d)
{
    if (rows.items.empty())
        return {};
    d.numRows = std::int32_t(rows.items.size());
    d.numCols = std::int32_t(rows.items[0].fieldCount);
    d.matrix = TextTable(1, d.numRows, 1, d.numCols);
    for (std::int32_t r = 1; r <= d.numRows; ++r) {
        const Item& row = rows.items[std::size_t(r - 1)];
        if (row.fieldCount < std::size_t(d.numCols))
            return Failure{QStringLiteral("Row %1 of the Test Cases matrix has %2 of the %3 cells of its first row.")
                               .arg(r)
                               .arg(row.fieldCount)
                               .arg(d.numCols)};
        for (std::int32_t c = 1; c <= d.numCols; ++c)
            d.matrix(r, c) = rows.Field(row, std::size_t(c - 1));
    }
    return {};
}

}  // namespace

std::optional<QString> WhyFactorTableTooLarge(std::int32_t numFactors, std::int32_t maxNumLevels)
{
    // The factor table, and the sheet that shows it, hold a cell for every level row of
    // every factor, whatever the file holds: refused before it is laid out when the memory
    // cannot hold it.
    const double bytesNeeded = 2.0 * double(GridCellStore::kBytesPerCell) * (double(maxNumLevels) + 1) * numFactors;
    const std::optional<std::uint64_t> available = vantrel::AvailableMemoryBytes();
    if (available && bytesNeeded > double(*available))
        return QStringLiteral("Its %1 factors of up to %2 levels would need %3 MB of memory, "
                              "more than this computer can give.")
            .arg(numFactors)
            .arg(maxNumLevels)
            .arg(std::ceil(bytesNeeded / (1024.0 * 1024.0)), 0, 'f', 0);
    return std::nullopt;
}

Result<DesignText> ReadDesignDocument(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return Failure{QStringLiteral("The file is empty.")};

    // A design nests four deep and carries at most one attribute per element; a stream
    // reader's time grows faster than the file with attributes, so far more is refused first.
    const XmlShape shape = MeasureXmlShape(bytes, kMaxXmlDepth, kMaxXmlAttributes);
    if (shape.depth > kMaxXmlDepth)
        return Failure{NotADesign(QStringLiteral("its elements nest more than %1 deep.").arg(kMaxXmlDepth))};
    if (shape.attributes > kMaxXmlAttributes)
        return Failure{NotADesign(QStringLiteral("an element has more than %1 attributes.").arg(kMaxXmlAttributes))};

    const Result<Outline> outline = ReadOutline(bytes);
    if (!outline)
        return Failure{outline.error()};
    const std::vector<Section>& sections = outline.value().sections;
    if (const std::optional<QString> why = WhyNotDesignSections(outline.value()))
        return Failure{*why};

    // A file of three sections has no matrix.
    DesignText d;
    d.rules = outline.value().rules;
    if (!sections[0].items.empty()) {
        Result<void> read = ReadFactors(sections[0], d);
        if (read)
            read = ReadConstraints(sections[1], d);
        if (read)
            read = ReadPrevRuns(sections[2], d);
        if (read && sections.size() > 3)
            read = ReadMatrix(sections[3], d);
        if (!read)
            return Failure{read.error()};
    }
    return d;
}
