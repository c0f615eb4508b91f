// The seed and suite file reader under libFuzzer (tests/fuzz/ReaderChecks.h). Built with
// -DVANTREL_FUZZ=ON and clang; run as  suite_file_fuzz -timeout=1 -max_len=65536 tests/fuzz/suite-file-corpus
#include "tests/fuzz/ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzOneInput(CheckSuiteFileOneWay, data, size);
}
