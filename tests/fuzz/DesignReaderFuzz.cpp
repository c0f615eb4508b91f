// The design reader under libFuzzer: any bytes as a design file. Built with
// -DVANTREL_FUZZ=ON and clang; run as  design_reader_fuzz -max_len=1048576 tests/fuzz/corpus
#include "files/CFile.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "design_reader_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    (void)CFile::OpenXMLFile(buffer);
    return 0;
}
