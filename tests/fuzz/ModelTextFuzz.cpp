// The model text reader under libFuzzer, with the rules compiled into the constraint model and
// every design read written back (tests/fuzz/ReaderChecks.h). Built with -DVANTREL_FUZZ=ON and
// clang; run as  model_text_fuzz -timeout=1 -max_len=65536 tests/fuzz/model-text-corpus
#include "tests/fuzz/ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzOneInput(CheckModelText, data, size);
}
