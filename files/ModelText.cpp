#include "files/ModelText.h"

#include "files/DesignDocumentReader.h"
#include "model/DesignModel.h"

#include <vantrel/modeltext.hpp>

#include <algorithm>

DesignFileKind KindOfDesignFile(const QByteArray& bytes)
{
    switch (vantrel::KindOfFile(std::string_view(bytes.constData(), std::size_t(bytes.size())))) {
    case vantrel::FileKind::Document: return DesignFileKind::Document;
    case vantrel::FileKind::ModelText: return DesignFileKind::ModelText;
    case vantrel::FileKind::Neither: break;
    }
    return DesignFileKind::Neither;
}

Result<DesignText, DesignReadFailure> ReadModelText(const QByteArray& bytes)
{
    const vantrel::Result<vantrel::Model> read =
        vantrel::ReadModelText(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!read)
        return Failure{DesignReadFailure{TextOfUtf8(read.error().message), read.error().line,
                                         read.error().column}};
    const vantrel::Model& model = read.value();
    std::size_t maxNumLevels = 0;
    for (const vantrel::Factor& factor : model.factors)
        maxNumLevels = std::max(maxNumLevels, factor.levels.size());
    if (const std::optional<QString> tooLarge =
            WhyFactorTableTooLarge(std::int32_t(model.factors.size()), std::int32_t(maxNumLevels)))
        return Failure{DesignReadFailure{*tooLarge, 1, 1}};
    DesignText design = ToDesignText(model);
    design.fromModelText = true;
    return design;
}

Result<QByteArray> WriteModelText(const DesignText& design)
{
    const vantrel::Result<std::string> written = vantrel::WriteModelText(ToModel(design));
    if (!written)
        return Failure{TextOfUtf8(written.error().message)};
    return QByteArray::fromStdString(written.value());
}
