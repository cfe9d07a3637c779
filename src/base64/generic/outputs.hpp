#pragma once
// Where a tier's loop puts its characters. One loop skeleton per tier runs
// over any of these, so unwrapped, streaming and wrapped encoding share it.
// Templates over the tier tag for the same reason as the register traits.

#include <cstddef>
#include <cstdint>

#include "base64/wrap_cursor.hpp"

namespace vantorq::base64::generic {

template <class Tier>
struct DirectOutput {
    unsigned char* out;

    template <class V>
    void put(typename V::Reg chars) {
        V::storeu(out, chars);
        out += V::WIDTH;
    }

    // `count` (below the register width) leading characters of `chars`.
    template <class V>
    void put_first(typename V::Reg chars, std::size_t count) {
        V::store_first(out, chars, count);
        out += count;
    }
};

// Non-temporal stores for outputs far larger than the caches; the
// destination must be 32-byte aligned and the caller fences afterwards.
template <class Tier>
struct StreamingOutput {
    unsigned char* out;

    template <class V>
    void put(typename V::Reg chars) {
        V::stream(out, chars);
        out += V::WIDTH;
    }
};

template <class Tier>
struct WrappedOutput {
    WrapCursor& cursor;

    template <class V>
    void put(typename V::Reg chars) {
        if (cursor.room() >= V::WIDTH) {
            V::storeu(cursor.out, chars);
            cursor.out += V::WIDTH;
            cursor.column += V::WIDTH;
            return;
        }
        alignas(64) unsigned char staged[V::WIDTH];
        V::storeu(staged, chars);
        cursor.put_groups(staged, V::WIDTH);
    }

    template <class V>
    void put_first(typename V::Reg chars, std::size_t count) {
        alignas(64) unsigned char staged[V::WIDTH];
        V::storeu(staged, chars);
        cursor.put_groups(staged, count);
    }
};

}  // namespace vantorq::base64::generic
