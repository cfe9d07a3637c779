#pragma once
// The configured decoder of the Base64 core as the decode routes use it, for
// requests with ignorechars or canonical: a new bytes object, or a
// destination bytearray written only once the text is known to be accepted.

#include "bindings/python.hpp"

#include "base64/configured.hpp"
#include "bindings/base64/outcome.hpp"

namespace vantorq::bindings::base64::configured {

using vantorq::base64::configured::ConfiguredDecoder;

// `detach` runs the decoding without the interpreter.
Outcome decode_configured(Text text, const ConfiguredDecoder& decoder, bool detach);
// Destination too small carries the exact size; a rejected text or a small
// destination leaves the destination untouched.
Outcome decode_configured_into(Text text, Destination destination, const ConfiguredDecoder& decoder);

}  // namespace vantorq::bindings::base64::configured
