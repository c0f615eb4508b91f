#pragma once
// What the shared library makes visible to programs: the public API alone.

#if defined(VANTREL_BUILDING_LIBRARY) || !defined(_WIN32)
#define VANTREL_API __attribute__((visibility("default")))
#else
#define VANTREL_API
#endif
