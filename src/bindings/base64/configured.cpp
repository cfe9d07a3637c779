#include "bindings/python.hpp"

#include "bindings/base64/configured.hpp"

#include "bindings/base64/new_bytes.hpp"

namespace vantorq::bindings::base64::configured {

namespace core = vantorq::base64::configured;

Outcome decode_configured(Text text, const ConfiguredDecoder& decoder, bool detach) {
    return decode_new_bytes(decoder.capacity(text.data(), text.size()), detach,
                            [&](unsigned char* out, std::size_t capacity) {
                                return decoder.decode(text.data(), text.size(), out, capacity);
                            });
}

Outcome decode_configured_into(Text text, Destination destination, const ConfiguredDecoder& decoder) {
    return written_outcome(
        core::decode_configured_into(decoder, text.data(), text.size(), destination.data(), destination.size()));
}

}  // namespace vantorq::bindings::base64::configured
