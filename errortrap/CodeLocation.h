#pragma once
// Where in the source a procedure boundary or an error lies: its file and line. Taken as a
// default argument, so that each call records its caller's place. (std::source_location does
// the same, but Debian 12's standard library offers it to GCC only.)

#include <cstdint>

class CodeLocation {
public:
    static constexpr CodeLocation current(const char* file = __builtin_FILE(), std::uint32_t line = __builtin_LINE())
    {
        return CodeLocation(file, line);
    }
    constexpr const char* file_name() const { return mFile; }
    constexpr std::uint32_t line() const { return mLine; }

private:
    constexpr CodeLocation(const char* file, std::uint32_t line) : mFile(file), mLine(line) {}
    const char* mFile;
    std::uint32_t mLine;
};
