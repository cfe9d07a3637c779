#pragma once
// The native decoders for well-formed input: padded text of whole quanta
// (strict), text without any "=" (unpadded), and the altchars translation
// that lets a custom pair decode through the standard alphabet.
//
// Each works on bytes that cannot change during the call (an immutable input,
// or a bytearray inside its critical section) and reports an Outcome.

#include "bindings/python.hpp"

#include <cstddef>
#include <optional>
#include "backend/memory.hpp"
#include "base64/alphabet.hpp"
#include "bindings/altchars.hpp"
#include "bindings/base64/outcome.hpp"

namespace vantorq::bindings::base64::strict {

using vantorq::base64::DecodeAlphabet;

// Where the decoded bytes of a well-formed text go and how many there are.
struct Layout {
    std::size_t padding;  // "=" ending the final quantum (0 for unpadded text)
    std::size_t size;     // decoded bytes
};

// Text whose length is a multiple of 4 (its padding is judged by the core);
// nothing otherwise.
std::optional<Layout> strict_layout(Text text);
// Text of 0, 2 or 3 symbols past its whole quanta; nothing for a lone symbol.
std::optional<Layout> unpadded_layout(Text text);

// A new bytes object; `detach` runs the decoding without the interpreter.
Outcome decode_strict(Text text, DecodeAlphabet alphabet, bool detach);
Outcome decode_strict_into(Text text, Destination destination, DecodeAlphabet alphabet);
Outcome decode_unpadded(Text text, DecodeAlphabet alphabet, bool detach);
Outcome decode_unpadded_into(Text text, Destination destination, DecodeAlphabet alphabet);

// The text with the first altchar replaced by "+" and the second by "/" (the
// second wins when both are the same byte), as the interpreter rewrites it
// before decoding; `copied` is false when neither occurs and the text stands
// as it is. A copy whose memory cannot be had leaves `bytes` null.
struct Translation {
    bool copied = false;
    backend::ByteBuffer bytes;
};
Translation translate_altchars(Text text, const compatibility::Altchars& pair);

}  // namespace vantorq::bindings::base64::strict
