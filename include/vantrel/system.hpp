#pragma once
// What the machine can give, as the library counts it against a design.

#include <vantrel/export.hpp>

#include <cstdint>
#include <optional>

namespace vantrel {

// The memory the machine can give now, in bytes; empty where it does not say.
VANTREL_API std::optional<uint64_t> AvailableMemoryBytes();

}  // namespace vantrel
