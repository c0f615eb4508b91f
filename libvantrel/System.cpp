#include <vantrel/system.hpp>

#include "engine/AvailableMemory.h"

std::optional<uint64_t> vantrel::AvailableMemoryBytes() { return ::AvailableMemoryBytes(); }
