#include "engine/AvailableMemory.h"

#include <fstream>
#include <sstream>

std::optional<uint64_t> AvailableMemoryBytes(const std::string& meminfoPath)
{
    std::ifstream meminfo(meminfoPath);
    std::string line;
    while (std::getline(meminfo, line)) {
        if (line.rfind("MemAvailable:", 0) != 0)
            continue;
        std::istringstream fields(line.substr(13));
        uint64_t value = 0;
        std::string unit;
        if (!(fields >> value))
            return std::nullopt;
        fields >> unit;
        return unit == "kB" ? value * 1024 : value;
    }
    return std::nullopt;
}
