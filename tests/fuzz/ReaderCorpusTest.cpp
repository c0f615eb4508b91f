// Every file of the model text and suite file fuzzing corpora through the checks the fuzzing
// targets hold them to, in the normal suite.
#include "tests/fuzz/ReaderChecks.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// Each file of the corpus through the check; how many there are.
qsizetype CheckCorpus(const char* folder, std::string (*check)(const QByteArray&))
{
    const QDir corpus(QString::fromUtf8(folder));
    const QStringList files = corpus.entryList(QDir::Files);
    for (const QString& name : files) {
        QFile file(corpus.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(check(file.readAll()), "") << name.toStdString();
    }
    return files.size();
}

TEST(ReaderCorpus, EveryModelTextReadsOrIsRefusedAndWritesBackAsItReads)
{
    EXPECT_GE(CheckCorpus(VANTREL_MODEL_TEXT_CORPUS, CheckModelText), 20);
}

TEST(ReaderCorpus, EverySuiteFileReadsOrIsRefusedNamingLevelsOfTheDesign)
{
    EXPECT_GE(CheckCorpus(VANTREL_SUITE_FILE_CORPUS, CheckSuiteFile), 10);
}

}  // namespace
