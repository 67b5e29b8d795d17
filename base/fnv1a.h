// FNV-1a, 64 bits: a name or a path as one number, cheap to make and to
// compare. Each user says why a rare collision does no harm there.
#pragma once
#include <cstdint>

constexpr std::uint64_t kFnv1aStart = 14695981039346656037ull;

// The hash so far with one more unit mixed in (a byte, or a UTF-16 unit whole).
constexpr std::uint64_t fnv1a(std::uint64_t hash, std::uint32_t unit)
{
    return (hash ^ unit) * 1099511628211ull;
}
