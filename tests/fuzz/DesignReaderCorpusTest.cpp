// Every file of the fuzzing corpus through the design reader, in the normal suite: none may
// crash it or take long, the designs among them are read, and the shapes no design has are
// refused with their reason.
#include "files/CFile.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

TEST(DesignReaderCorpus, EveryFileIsReadOrRefusedQuickly)
{
    const QDir corpus(QStringLiteral(VANTREL_FUZZ_CORPUS));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_GE(files.size(), 8);
    int read = 0;
    for (const QString& name : files) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QElapsedTimer timer;
        timer.start();
        const Result<DesignText> opened = CFile::OpenXMLFile(file);
        const bool ok = opened.ok();
        const QString reason = ok ? QString() : opened.error();
        EXPECT_LT(timer.elapsed(), 2000) << name.toStdString();
        EXPECT_EQ(ok, name.startsWith("design-")) << name.toStdString() << ": " << reason.toStdString();
        read += ok ? 1 : 0;
        if (name.startsWith("nested-")) {
            EXPECT_EQ(reason, "The file is not a Vantrel design: its elements nest more than 16 deep.");
        }
        if (name.startsWith("attributes-")) {
            EXPECT_EQ(reason, "The file is not a Vantrel design: an element has more than 16 attributes.");
        }
    }
    EXPECT_GE(read, 2);
}
