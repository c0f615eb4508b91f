#include "files/CFile.h"

#include "files/DesignDocumentReader.h"
#include "files/DesignFileLock.h"
#include "files/DesignSheets.h"
#include "files/ExportOutput.h"
#include "files/FileWriter.h"
#include "files/ModelText.h"
#include "model/DesignWorkbook.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/StatusPanels.h"
#include "settings/CGetMyDataFolder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <optional>
#include <utility>

namespace {

constexpr const char* kDeclaration = R"(version="1.0" encoding="ISO-8859-1" standalone="yes")";
constexpr std::int64_t kLargeMatrixCells = 1000;
constexpr int kLargeMatrixHelpContext = 27;
constexpr std::int32_t kLoadingMessageRows = 500;

// Calls f with every code point of text; a surrogate without its partner comes as itself.
template <typename F>
void ForEachCodePoint(QStringView text, F f)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            f(QChar::surrogateToUcs4(text[i], text[i + 1]));
            ++i;
        } else {
            f(char32_t(text[i].unicode()));
        }
    }
}

// The characters an XML 1.0 document can hold, as text or as a reference.
bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Element text made only of blanks (QChar::isSpace, the parser's own test) is dropped by the
// parser, even when written as references, unless it stands in a CDATA section.
bool IsOnlyBlanks(const QString& text) { return !text.isEmpty() && text.trimmed().isEmpty(); }

QString CodePoint(char32_t c) { return QStringLiteral("U+%1").arg(quint32(c), 4, 16, QLatin1Char('0')).toUpper(); }

// Why the file cannot hold the text, as the end of a sentence; "" when it can. A CDATA section
// takes no character references, so every blank in it must be Latin-1, and it cannot keep a
// carriage return (the parser turns it into a line feed).
QString WhyUnstorable(const QString& text, bool elementText)
{
    std::optional<char32_t> bad;
    ForEachCodePoint(text, [&bad](char32_t c) {
        if (!bad && !IsXmlChar(c))
            bad = c;
    });
    if (bad)
        return QStringLiteral("holds the character %1, which a design file cannot store").arg(CodePoint(*bad));
    if (elementText && IsOnlyBlanks(text))
        for (const QChar c : text)
            if (c.unicode() > 0xFF || c == u'\r')
                return QStringLiteral("consists only of blanks and holds %1; a design file keeps a text of only "
                                      "blanks when they are spaces, tabs, line feeds or other Latin-1 blanks")
                    .arg(CodePoint(c.unicode()));
    return {};
}

// Refuses a text the file cannot hold: refusal, while still empty, gets a sentence saying why,
// where() naming the text at its start. Only the first refusal is kept.
template <typename Where>
void Accept(const QString& text, bool elementText, Where where, QString& refusal)
{
    if (!refusal.isEmpty())
        return;
    const QString why = WhyUnstorable(text, elementText);
    if (!why.isEmpty())
        refusal = where() + QLatin1Char(' ') + why + QLatin1Char('.');
}

QDomElement AppendElement(QDomDocument& oDOM, QDomNode parent, const QString& tag)
{
    QDomElement element = oDOM.createElement(tag);
    parent.appendChild(element);
    return element;
}

// Appends <tag>text</tag> to parent and returns it; a text the file cannot hold is refused.
template <typename Where>
QDomElement AppendText(QDomDocument& oDOM, QDomNode parent, const QString& tag, const QString& text, Where where,
                       QString& refusal)
{
    Accept(text, true, where, refusal);
    QDomElement element = AppendElement(oDOM, parent, tag);
    element.appendChild(IsOnlyBlanks(text) ? QDomNode(oDOM.createCDATASection(text)) : QDomNode(oDOM.createTextNode(text)));
    return element;
}

// <factors>: each factor with its name and levels; an invalid level carries invalid="1", a
// weighted one weight="N", one known by other names aliases="name|name", a factor with a
// model text's comment lines above it comments="..." (a design without them is written as it
// always was).
void AppendFactors(QDomDocument& oDOM, QDomElement& requirements, const DesignText& design, QString& refusal)
{
    QDomElement factors = AppendElement(oDOM, requirements, QStringLiteral("factors"));
    for (std::int32_t f = 1; f <= design.numFactors; ++f) {
        QDomElement factor = oDOM.createElement(QStringLiteral("Factor"));
        const QString& name = design.factors.at(0, f);
        Accept(name, false, [f] { return QStringLiteral("The name of factor %1").arg(f); }, refusal);
        if (!CFile::AddAttribute(oDOM, factor, QStringLiteral("Name"), name))
            ShowMessage(QStringLiteral("Error saving"));
        if (const auto comments = design.textLayout.aboveFactor.find(f); comments != design.textLayout.aboveFactor.end()) {
            Accept(comments->second, false, [f] { return QStringLiteral("The comments above factor %1").arg(f); }, refusal);
            factor.setAttribute(QStringLiteral("comments"), comments->second);
        }
        for (std::int32_t j = 1; j <= design.levelCounts.at(f); ++j) {
            QDomElement level = AppendText(
                oDOM, factor, QStringLiteral("level"), design.factors.at(j, f),
                [j, f] { return QStringLiteral("Level %1 of factor %2").arg(j).arg(f); }, refusal);
            if (design.invalidLevels.contains({j, f}))
                level.setAttribute(QStringLiteral("invalid"), QStringLiteral("1"));
            if (const auto weight = design.levelWeights.find({j, f}); weight != design.levelWeights.end())
                level.setAttribute(QStringLiteral("weight"), QString::number(weight->second));
            if (const auto aliases = design.levelAliases.find({j, f}); aliases != design.levelAliases.end())
                level.setAttribute(QStringLiteral("aliases"), aliases->second.join(QLatin1Char('|')));
        }
        factors.appendChild(factor);
    }
}

// The serialised document as Latin-1, every other character a character reference. Such
// characters stand only in text and attribute values, where a reference means the character
// itself (CDATA sections, which take no references, hold Latin-1 only).
QByteArray Latin1WithReferences(const QString& xml)
{
    QByteArray bytes;
    bytes.reserve(xml.size());
    ForEachCodePoint(xml, [&bytes](char32_t c) {
        if (c <= 0xFF)
            bytes.append(char(c));
        else
            bytes.append("&#x").append(QByteArray::number(quint32(c), 16)).append(';');
    });
    return bytes;
}

// While another program saves the design: the status bar says so, the windows stay painted.
void WaitInTheWindow(bool first)
{
    if (first)
        ShowStatusMessage(QStringLiteral("Waiting for another program to finish saving the design..."));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// A design document read, its failure put as a read failure without a place.
Result<DesignText, DesignReadFailure> ReadDocument(const QByteArray& bytes)
{
    Result<DesignText> read = ReadDesignDocument(bytes);
    if (!read)
        return Failure{DesignReadFailure{read.error()}};
    return std::move(read).value();
}

// The design the bytes hold, read as what their content says they are.
Result<DesignText, DesignReadFailure> ReadByKind(const QByteArray& bytes)
{
    switch (KindOfDesignFile(bytes)) {
    case DesignFileKind::ModelText: return ReadModelText(bytes);
    case DesignFileKind::Document: return ReadDocument(bytes);
    case DesignFileKind::Neither: break;
    }
    return Failure{DesignReadFailure{QStringLiteral("The file is neither a Vantrel design nor a model text.")}};
}

// The three design tables as one bundle, without invalid levels.
DesignText DesignOfTables(std::int32_t numFactors, const LongArray& levelCounts, const TextTable& factors,
                          std::int32_t numConstraints, const TextTable& constraints, std::int32_t numPrevRuns,
                          const TextTable& prevRuns)
{
    DesignText design;
    design.numFactors = numFactors;
    design.levelCounts = levelCounts;
    design.factors = factors;
    design.numConstraints = numConstraints;
    design.constraints = constraints;
    design.numPrevRuns = numPrevRuns;
    design.prevRuns = prevRuns;
    return design;
}

}  // namespace

CFile::CFile(DesignWorkbook& workbook) : mWorkbook(workbook), mTestCasesGrid(workbook.TestCasesGrid()) {}

bool CFile::SaveXMLFile(const QString& In_strPath, std::int32_t In_lNumFactors, const LongArray& In_alLevelCounts,
                        const TextTable& In_vaFactors, std::int32_t In_lNumConstraints,
                        const TextTable& In_vaConstraints, std::int32_t In_lNumPrevRuns,
                        const TextTable& In_vaPrevRuns)
{
    const DesignText design = DesignOfTables(In_lNumFactors, In_alLevelCounts, In_vaFactors, In_lNumConstraints,
                                             In_vaConstraints, In_lNumPrevRuns, In_vaPrevRuns);
    return SaveDesignFile(In_strPath, design, nullptr).state == GuardedSave::Saved;
}

CFile::GuardedSaveOutcome CFile::SaveDesignFile(const QString& In_strPath, const DesignText& In_design,
                                                const FileIdentity* In_pExpected)
{
    const std::optional<QByteArray> bytes = DocumentBytes(In_strPath, In_design);
    if (!bytes)
        return {GuardedSave::NotSaved, {}};
    return ReplaceFile(In_strPath, *bytes, In_pExpected);
}

std::optional<QByteArray> CFile::DocumentBytes(const QString& path, const DesignText& design)
{
    if (SavesAsModelText(path)) {
        Result<QByteArray> text = WriteModelText(design);
        if (text)
            return std::move(text).value();
        ShowSaveFailure(path, text.error());
        return std::nullopt;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (const Result<void> saved = SaveXMLFile(buffer, design); !saved) {
        if (!saved.error().isEmpty())  // else cancelled by the user; the file stays as it was
            ShowSaveFailure(path, saved.error());
        return std::nullopt;
    }
    return bytes;
}

CFile::GuardedSaveOutcome CFile::ReplaceFile(const QString& path, const QByteArray& bytes,
                                             const FileIdentity* expected)
{
    DesignFileLock lock(path);
    Result<void> written = lock.Take(mWhileWaitingForLock ? mWhileWaitingForLock : WaitInTheWindow);
    if (written && expected) {
        if (const FileIdentity onDisk = FileIdentity::Of(path); !(onDisk == *expected))
            return {GuardedSave::ChangedOnDisk, onDisk};
    }
    FileWriter file(path);
    if (written)
        written = file.open();
    if (written)
        written = WriteToDevice(file.device(), bytes);
    if (written)
        written = file.commit();
    if (written)
        return {GuardedSave::Saved, FileIdentity::Of(path)};  // before another program may replace it
    ShowSaveFailure(path, written.error());
    return {GuardedSave::NotSaved, {}};
}

void CFile::ShowSaveFailure(const QString& path, const QString& reason)
{
    ShowMessage(QStringLiteral("The design could not be saved to\n%1\n\n%2\n\nAny earlier file of that name is unchanged.")
                    .arg(QDir::toNativeSeparators(path), reason),
                MsgButtons::Ok, MsgIcon::Critical);
}

Result<void> CFile::SaveXMLFile(QIODevice& device, std::int32_t In_lNumFactors, const LongArray& In_alLevelCounts,
                                const TextTable& In_vaFactors, std::int32_t In_lNumConstraints,
                                const TextTable& In_vaConstraints, std::int32_t In_lNumPrevRuns,
                                const TextTable& In_vaPrevRuns)
{
    const DesignText design = DesignOfTables(In_lNumFactors, In_alLevelCounts, In_vaFactors, In_lNumConstraints,
                                             In_vaConstraints, In_lNumPrevRuns, In_vaPrevRuns);
    return SaveXMLFile(device, design);
}

Result<void> CFile::SaveXMLFile(QIODevice& device, const DesignText& In_design)
{
    QDomDocument oDOM;
    QString refusal;  // the first text the file cannot hold
    oDOM.appendChild(oDOM.createProcessingInstruction(QStringLiteral("xml"), QString::fromLatin1(kDeclaration)));
    QDomElement requirements = AppendElement(oDOM, oDOM, QStringLiteral("requirements"));
    AppendFactors(oDOM, requirements, In_design, refusal);

    static const QString kFields[] = {QStringLiteral("iffactor"), QStringLiteral("iflevel"),
                                      QStringLiteral("thenfactor"), QStringLiteral("thenlevel")};
    QDomElement constraints = AppendElement(oDOM, requirements, QStringLiteral("constraints"));
    for (std::int32_t c = 1; c <= In_design.numConstraints; ++c) {
        QDomElement constraint = AppendElement(oDOM, constraints, QStringLiteral("constraint"));
        for (int field = 1; field <= 4; ++field)
            AppendText(
                oDOM, constraint, kFields[field - 1], In_design.constraints.at(c, field),
                [c, field] { return QStringLiteral("Field %1 of constraint %2").arg(field).arg(c); }, refusal);
    }

    QDomElement previousRuns = AppendElement(oDOM, requirements, QStringLiteral("previousruns"));
    for (std::int32_t r = 1; r <= In_design.numPrevRuns; ++r) {
        QDomElement previousRun = AppendElement(oDOM, previousRuns, QStringLiteral("previousrun"));
        for (std::int32_t f = 1; f <= In_design.numFactors; ++f)
            AppendText(
                oDOM, previousRun, QStringLiteral("run"), In_design.prevRuns.at(r, f),
                [r, f] { return QStringLiteral("Factor %1 of previous test %2").arg(f).arg(r); }, refusal);
    }
    if (!refusal.isEmpty())  // refused before the question about the matrix
        return Failure{refusal};

    // The matrix is the Test Cases grid from row 1 (the factor names) to its last row.
    const std::int32_t R = mTestCasesGrid.maxRows();
    const std::int32_t C = mTestCasesGrid.maxCols();
    bool includeMatrix = true;
    if (std::int64_t(R) * C > kLargeMatrixCells) {
        // Only No leaves the matrix out; a question closed unanswered cancels the save.
        const MsgResult answer =
            ShowMessage(QStringLiteral("The Test Matrix is very large. Do you want to include it with the file?"),
                        MsgButtons::YesNo, MsgIcon::Question, kLargeMatrixHelpContext);
        if (answer != MsgResult::Yes && answer != MsgResult::No)
            return Failure{QString()};
        includeMatrix = answer == MsgResult::Yes;
    }
    QDomElement matrix = AppendElement(oDOM, requirements, QStringLiteral("QXVMatrix"));
    if (R >= 2 && includeMatrix)
        for (std::int32_t r = 1; r <= R; ++r) {
            QDomElement row = AppendElement(oDOM, matrix, QStringLiteral("row"));
            for (std::int32_t c = 1; c <= C; ++c)
                AppendText(
                    oDOM, row, QStringLiteral("run"), mTestCasesGrid.text(c, r),
                    [r, c] { return QStringLiteral("Row %1, column %2 of the Test Cases sheet").arg(r).arg(c); },
                    refusal);
        }
    // The rules come last, and only when there are any: an older reader takes the first
    // four sections by their place, and a design without rules stays the file it was.
    if (!mWorkbook.Rules().isEmpty())
        AppendText(oDOM, requirements, QStringLiteral("rules"), mWorkbook.Rules(),
                   [] { return QStringLiteral("The rules text"); }, refusal);
    if (!refusal.isEmpty())
        return Failure{refusal};

    if (!device.isOpen() && !device.open(QIODevice::WriteOnly))
        return Failure{QStringLiteral("The file could not be created: %1.").arg(device.errorString())};
    return WriteToDevice(device, Latin1WithReferences(oDOM.toString(1)));
}

Result<DesignText> CFile::OpenXMLFile(const QString& In_strPath)
{
    Result<DesignText, DesignReadFailure> read = ReadDesignFile(In_strPath);
    if (!read)
        return Failure{read.error().Described()};
    return std::move(read).value();
}

Result<DesignText, DesignReadFailure> CFile::ReadDesignFile(const QString& In_strPath)
{
    const QFileInfo info(In_strPath);
    if (!info.exists())
        return Failure{DesignReadFailure{QStringLiteral("The file does not exist.")}};
    if (info.isDir())
        return Failure{DesignReadFailure{QStringLiteral("The path names a folder, not a file.")}};
    if (!info.isFile())
        return Failure{DesignReadFailure{QStringLiteral("The path names no regular file.")}};
    QFile file(In_strPath);
    return ReadDesign(file);
}

Result<DesignText> CFile::OpenXMLFile(QIODevice& device)
{
    Result<DesignText, DesignReadFailure> read = ReadDesign(device);
    if (!read)
        return Failure{read.error().Described()};
    return std::move(read).value();
}

Result<DesignText, DesignReadFailure> CFile::ReadDesign(QIODevice& device)
{
    if (!device.isOpen() && !device.open(QIODevice::ReadOnly))
        return Failure{
            DesignReadFailure{QStringLiteral("The file could not be read: %1.").arg(device.errorString())}};
    const QByteArray bytes = device.readAll();
    Result<DesignText, DesignReadFailure> read = ReadByKind(bytes);
    if (read && read.value().numRows > kLoadingMessageRows) {
        // Let the windows repaint around the message; the user's input waits.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        ShowMessage(QStringLiteral("There are %1 columns in the Test Case matrix. Loading will take a few seconds.")
                        .arg(read.value().numRows),
                    MsgButtons::Ok, MsgIcon::Information);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return read;
}

bool CFile::AddAttribute(QDomDocument& oDOM, QDomElement& oElement, const QString& sName, const QString& sValue)
{
    if (oElement.isNull() || oElement.attributes().contains(sName))
        return false;
    QDomAttr attribute = oDOM.createAttribute(sName);
    attribute.setValue(sValue);
    oElement.setAttributeNode(attribute);
    return oElement.hasAttribute(sName);
}

// --- the file commands' work ---------------------------------------------------------------

namespace {
// Open shows both kinds at first, so that the model texts among the examples show too.
const char* const kOpenFilter = "All Designs (*.test *.txt);;Test Files (*.test);;Model Text (*.txt);;All Files (*.*)";
const char* const kSaveFilter = "TEST Files (*.test);;Model Text (*.txt);;All Files (*.*)";
const char* const kDesignExtension = "test";
}  // namespace

bool CFile::SavesAsModelText(const QString& path) const
{
    return path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) || (path == mstrKnownFile && mbKnownIsModelText);
}

CFile::LeaveOut CFile::AskToLeaveOutOfModelText(const QString& path, const DesignText& design) const
{
    if (!SavesAsModelText(path) || (design.numPrevRuns == 0 && mTestCasesGrid.maxRows() < 2))
        return LeaveOut::Yes;
    switch (ShowMessage(QStringLiteral("A model text holds no previous tests and no test cases.\n\n"
                                       "Do you want to save the design as model text without them?"),
                        MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgResult::Yes: return LeaveOut::Yes;
    case MsgResult::No: return LeaveOut::No;
    default: return LeaveOut::Cancel;
    }
}

bool CFile::SaveFile(QString& In_strFileNameandPath)
{
    const CFactors& factors = mWorkbook.Factors();
    if (factors.lNumFactors() == 0 || factors.lMaxNumLevels == 0) {
        ShowMessage(QStringLiteral("You must have one factor and one level defined to save the file."));
        return false;
    }
    if (!In_strFileNameandPath.isEmpty()) {
        const PathSave saved = SaveDataToPath(In_strFileNameandPath, true);
        if (saved != PathSave::ChooseAnother)
            return saved == PathSave::Saved;
    }
    const std::optional<QString> path = SaveFileAs();
    if (!path)
        return false;
    In_strFileNameandPath = *path;
    return true;
}

bool CFile::AskToOverwrite(const QString& path)
{
    return ShowMessage(QStringLiteral("The file %1 was changed by another program since Vantrel opened or saved it.\n\n"
                                      "Do you want to overwrite it?")
                           .arg(QDir::toNativeSeparators(path)),
                       MsgButtons::YesNo, MsgIcon::Exclamation) == MsgResult::Yes;
}

std::optional<QString> CFile::SaveFileAs()
{
    for (;;) {
        const std::optional<QString> path =
            GetSaveFileNameFromUser(QString::fromLatin1(kDesignExtension), QString::fromLatin1(kSaveFilter));
        if (!path)
            return std::nullopt;
        // A save that wrote nothing is no save: the design stays changed and keeps its name. The
        // user has agreed to replace whatever file is there.
        switch (SaveDataToPath(*path, false)) {
        case PathSave::Saved: return path;
        case PathSave::NotSaved: return std::nullopt;
        case PathSave::ChooseAnother: break;
        }
    }
}

QStringList CFile::CellsLeftOut() const
{
    // A read keeps the factors up to the last one with a name: the columns beyond it, and
    // their columns on the Previous Test sheet, are left out of every read.
    const GridCellStore& factors = mWorkbook.FactorsGrid();
    const GridCellStore& prevRuns = mWorkbook.PrevRunsGrid();
    int kept = mWorkbook.Factors().lNumFactors();
    while (kept >= 1 && CFactors::IsBlank(factors.text(kept, 1)))
        --kept;
    QStringList out;
    const auto listColumn = [&out](const GridCellStore& grid, const QString& sheet, int col) {
        QStringList rows;
        for (int r = 1; r <= grid.maxRows(); ++r)
            if (!CFactors::IsBlank(grid.text(col, r)))
                rows << grid.text(0, r);
        const QString caption = grid.text(col, 0).trimmed();
        if (!rows.isEmpty())
            out << QStringLiteral("%1, %2: %3")
                       .arg(sheet, caption.isEmpty() ? QStringLiteral("column %1").arg(col) : caption,
                            rows.join(QStringLiteral(", ")));
    };
    for (int c = kept + 1; c <= factors.maxCols(); ++c)
        listColumn(factors, QStringLiteral("Factors and Levels"), c);
    for (int c = kept + 1; c <= prevRuns.maxCols(); ++c)
        listColumn(prevRuns, QStringLiteral("Previous Test"), c);
    return out;
}

CFile::PathSave CFile::SaveDataToPath(const QString& path, bool guarded)
{
    const QStringList leftOut = CellsLeftOut();
    if (!leftOut.isEmpty()) {
        constexpr int kShown = 8;
        QString list = leftOut.mid(0, kShown).join(QLatin1Char('\n'));
        if (leftOut.size() > kShown)
            list += QStringLiteral("\nand %1 more columns").arg(leftOut.size() - kShown);
        if (ShowMessage(QStringLiteral("These cells are not saved, because their column has no factor name:\n\n%1\n\n"
                                       "Do you want to save the design without them?")
                            .arg(list),
                        MsgButtons::YesNo, MsgIcon::Exclamation) != MsgResult::Yes)
            return PathSave::NotSaved;
    }
    DesignText design;
    if (!mWorkbook.Read(false, design))
        return PathSave::NotSaved;
    switch (AskToLeaveOutOfModelText(path, design)) {
    case LeaveOut::Yes: break;
    case LeaveOut::No: return PathSave::ChooseAnother;
    case LeaveOut::Cancel: return PathSave::NotSaved;
    }
    const bool modelText = SavesAsModelText(path);
    const std::optional<QByteArray> bytes = DocumentBytes(path, design);
    if (!bytes)
        return PathSave::NotSaved;
    // The file as this program last read or wrote it, or as the user agreed to overwrite it.
    std::optional<FileIdentity> expected;
    if (guarded && path == mstrKnownFile)
        expected = mKnownIdentity;
    for (;;) {
        const GuardedSaveOutcome replaced = ReplaceFile(path, *bytes, expected ? &*expected : nullptr);
        switch (replaced.state) {
        case GuardedSave::Saved:
            mstrKnownFile = path;
            mKnownIdentity = replaced.onDisk;
            mbKnownIsModelText = modelText;
            return PathSave::Saved;
        case GuardedSave::NotSaved: return PathSave::NotSaved;
        case GuardedSave::ChangedOnDisk:
            // Asked without the lock, which another program's save may need meanwhile.
            if (!AskToOverwrite(path))
                return PathSave::NotSaved;
            expected = replaced.onDisk;
            break;
        }
    }
}

CFile::SaveOffer CFile::OfferToSaveChanges(QString& In_strFileNameandPath)
{
    switch (ShowMessage(QStringLiteral("Do you want to save changes made to this document?"), MsgButtons::YesNoCancel,
                        MsgIcon::Information)) {
    case MsgResult::Yes: return SaveFile(In_strFileNameandPath) ? SaveOffer::Saved : SaveOffer::Cancelled;
    case MsgResult::No: return SaveOffer::Declined;
    default: return SaveOffer::Cancelled;
    }
}

bool CFile::OpenFile(bool In_bAskUser, bool In_bDirty, QString& In_strFileNameandPath)
{
    if (In_bDirty && OfferToSaveChanges(In_strFileNameandPath) == SaveOffer::Cancelled)
        return false;
    QString path = In_strFileNameandPath;
    if (In_bAskUser) {
        const std::optional<QString> chosen = GetOpenFileNameFromUser();
        if (!chosen)
            return false;
        path = *chosen;
    }

    const FileIdentity identity = FileIdentity::Of(path);
    const Result<DesignText> read = OpenXMLFile(path);
    if (!read) {
        // The message of old, then which file and why.
        ShowMessage(QStringLiteral("Error opening file\n%1: %2").arg(QDir::toNativeSeparators(path), read.error()));
        return false;
    }
    const DesignText& d = read.value();
    In_strFileNameandPath = path;
    mstrKnownFile = path;
    mKnownIdentity = identity;
    mbKnownIsModelText = d.fromModelText;

    // Every sheet is emptied first, so that nothing of the design shown before stays behind
    // (a design without constraints or test cases leaves those sheets empty).
    if (DesignSheets* sheets = CurrentDesignSheets()) {
        sheets->SetupSheets();
        mWorkbook.Put(d, sheets);
    }
    return true;
}

QString CFile::StartFolder()
{
    return mbFirstFileDialog ? CGetMyDataFolder().GetMyDocumentsFolderPath() : mstrLastFolder;
}

void CFile::DialogConfirmed(const QString& path)
{
    mbFirstFileDialog = false;
    mstrLastFolder = QFileInfo(path).absolutePath();
}

std::optional<QString> CFile::GetOpenFileNameFromUser()
{
    const FileDialogRequest request{QStringLiteral("Open"), StartFolder(), QString::fromLatin1(kOpenFilter), QString()};
    const QString path = GetOpenFileName(request).trimmed();
    if (path.isEmpty())
        return std::nullopt;
    DialogConfirmed(path);
    return path;
}

std::optional<QString> CFile::GetSaveFileNameFromUser(const QString& In_strExtension, const QString& In_strFilter)
{
    const FileDialogRequest request{QStringLiteral("Save As"), StartFolder(), In_strFilter, QString()};
    for (;;) {
        QString path = GetSaveFileName(request).trimmed();
        if (path.isEmpty())
            return std::nullopt;
        path = CorrectFileExtension(path, In_strExtension);
        if (FileInWindowsDir(path)) {
            ShowMessage(QStringLiteral("You can not store test files in the Windows System Folder"), MsgButtons::Ok,
                        MsgIcon::Information);
            continue;
        }
        if (FileExists(path) &&
            ShowMessage(QStringLiteral("The file already exists. Do you want to replace the existing file?"),
                        MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
            continue;
        DialogConfirmed(path);
        return path;
    }
}

QString CFile::CorrectFileExtension(const QString& In_strFileName, const QString& In_strExtension)
{
    QString path = In_strFileName;
    if (!path.isEmpty() && path.back().unicode() < 32)
        path.chop(1);
    const qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
    const QString name = separator < 0 ? path : path.mid(separator);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return path + QLatin1Char('.') + In_strExtension;
    if (dot == name.size() - 1)
        return path + In_strExtension;
    return path;
}

bool CFile::FileInWindowsDir(const QString& path)
{
    return path.toUpper().contains(CGetMyDataFolder().GetWindowsDir().toUpper());
}

bool CFile::FileExists(const QString& path) { return QFileInfo(path).isFile(); }
