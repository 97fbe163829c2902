// Replays every file of a corpus folder through a fuzz target's entry point,
// so inputs that once crashed keep being checked by the normal test run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "tests/support/Files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[1], ec))
    {
        if (!entry.is_regular_file())
            continue;
        const std::vector<uint8_t> bytes = testsupport::ReadFileBytes(entry.path().string());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++count;
    }
    // A corpus that is missing or empty would pass while checking nothing.
    if (ec || count == 0)
    {
        std::fprintf(stderr, "no inputs replayed from %s%s%s\n", argv[1], ec ? ": " : "",
                     ec ? ec.message().c_str() : "");
        return 1;
    }
    std::printf("%d inputs replayed from %s\n", count, argv[1]);
    return 0;
}
