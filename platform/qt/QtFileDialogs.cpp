#include "platform/qt/QtFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

QString QtFileDialogs::getOpenFileName(const FileDialogRequest& request)
{
    return QFileDialog::getOpenFileName(mParent, request.title, request.startFolder, request.filter);
}

QString QtFileDialogs::getSaveFileName(const FileDialogRequest& request)
{
    // The program asks its own replace question, so the dialog must not.
    QString chosenFilter;
    QString path = QFileDialog::getSaveFileName(mParent, request.title, request.startFolder, request.filter,
                                                &chosenFilter, QFileDialog::DontConfirmOverwrite);
    // A name typed without an extension gets the one of the kind chosen, "Model Text (*.txt)".
    static const QRegularExpression extension(QStringLiteral("\\(\\*\\.(\\w+)\\)"));
    const QRegularExpressionMatch match = extension.match(chosenFilter);
    if (!path.isEmpty() && match.hasMatch() && !QFileInfo(path).fileName().contains(QLatin1Char('.')))
        path += QLatin1Char('.') + match.captured(1);
    return path;
}
