#pragma once
// Line-broken output. Every encoder that wraps, scalar or vector, writes
// through these helpers, so the line rule exists once: a line feed goes
// before a 4-character group when the current line is full, never after the
// last group, so output neither starts nor ends with a line feed.
//
// The helpers are always_inline because vector tier files use them: an
// out-of-line copy compiled for a newer instruction set must never exist.

#include <cstddef>
#include <cstring>

#include "base64/alphabet.hpp"

namespace vantorq::base64 {

// `wrapcol` is a positive multiple of 4 and `column` never exceeds it, so
// `wrapcol - column` is the room left on the line.
struct WrapCursor {
    unsigned char* out;
    std::size_t wrapcol;
    std::size_t column = 0;

    [[gnu::always_inline]] std::size_t room() const { return wrapcol - column; }

    [[gnu::always_inline]] void break_line_if_full() {
        if (column == wrapcol) {
            *out++ = LINE_FEED;
            column = 0;
        }
    }

    // Copies `count` characters that fit on the current line.
    [[gnu::always_inline]] void put_on_line(const unsigned char* chars, std::size_t count) {
        std::memcpy(out, chars, count);
        out += count;
        column += count;
    }

    [[gnu::always_inline]] void put_group(const unsigned char* group) {
        break_line_if_full();
        put_on_line(group, 4);
    }

    // `count` is a multiple of 4. Whole runs up to each line end go in one
    // copy; since lines hold whole groups this is the group rule above.
    [[gnu::always_inline]] void put_groups(const unsigned char* chars, std::size_t count) {
        while (count != 0) {
            break_line_if_full();
            const std::size_t run = room() < count ? room() : count;
            put_on_line(chars, run);
            chars += run;
            count -= run;
        }
    }
};

}  // namespace vantorq::base64
