#pragma once
// The lenient decoder of the Base64 core as the decode routes use it: a new
// bytes object sized without a counting pass, or a destination bytearray.
// Like the strict decoders, each works on bytes that cannot change during the
// call and reports an Outcome.

#include "bindings/python.hpp"

#include "base64/lenient.hpp"
#include "bindings/base64/outcome.hpp"

namespace vantorq::bindings::base64::lenient {

using vantorq::base64::lenient::LenientOptions;

// `detach` runs the decoding without the interpreter.
Outcome try_decode_lenient(Text text, const LenientOptions& options, bool detach);
// Destination too small carries the exact size, counted before any write.
Outcome decode_lenient_into(Text text, Destination destination, const LenientOptions& options);

}  // namespace vantorq::bindings::base64::lenient
