#include "bindings/python.hpp"

#include "bindings/base64/lenient.hpp"

#include "bindings/base64/new_bytes.hpp"

namespace vantorq::bindings::base64::lenient {

namespace core = vantorq::base64::lenient;

Outcome try_decode_lenient(Text text, const LenientOptions& options, bool detach) {
    return decode_new_bytes(core::lenient_capacity(text.data(), text.size(), options), detach,
                            [&](unsigned char* out, std::size_t capacity) {
                                return core::decode_lenient_to_ptr(text.data(), text.size(), out, capacity, options);
                            });
}

Outcome decode_lenient_into(Text text, Destination destination, const LenientOptions& options) {
    return written_outcome(
        core::decode_lenient_slice_into(text.data(), text.size(), destination.data(), destination.size(), options));
}

}  // namespace vantorq::bindings::base64::lenient
