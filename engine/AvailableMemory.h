#pragma once
// The memory the machine can still give to a process without swapping: MemAvailable of
// /proc/meminfo, in bytes. Empty when it cannot be read.

#include <cstdint>
#include <optional>
#include <string>

std::optional<uint64_t> AvailableMemoryBytes(const std::string& meminfoPath = "/proc/meminfo");
