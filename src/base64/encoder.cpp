#include "base64/encoder.hpp"

#include <cstring>

#include "base64/encode.hpp"

namespace vantorq::base64 {
namespace {

// New results larger than this come straight from the system (the C library
// keeps no more for reuse), so each page faults in at its first write, zeroed
// by the kernel through the cache; non-temporal stores over those lines then
// cost more than they save (a 64 MiB source: 60 ms a call with them, 50 ms
// without).
constexpr std::size_t FRESHLY_MAPPED_SIZE = 32 << 20;

}  // namespace

Encoder::Encoder(const EncodeAlphabet& alphabet, bool padded, std::size_t wrapcol,
                 const runtime_dispatch::RuntimeBackend& kernels)
    : kernels_(&kernels),
      alphabet_(alphabet),
      padded_(padded),
      line_length_(wrapcol == 0 ? 0 : wrapcol < 8 ? 4 : wrapcol / 4 * 4) {}

void Encoder::encode_unwrapped(const unsigned char* src, std::size_t length, unsigned char* dst, bool cached) const {
    const std::size_t tail = length % 3;
    if (padded_ || tail == 0) {
        encode::encode_to_ptr_on(*kernels_, src, length, dst, alphabet_, cached);
        return;
    }
    const std::size_t whole = length - tail;
    encode::encode_to_ptr_on(*kernels_, src, whole, dst, alphabet_, cached);
    unsigned char last_group[4] = {};
    encode::encode_scalar_ptr_with_alphabet(src + whole, tail, last_group, alphabet_.symbols);
    std::memcpy(dst + whole / 3 * 4, last_group, tail + 1);  // 1 byte gives 2 characters, 2 give 3
}

void Encoder::encode(const unsigned char* src, std::size_t length, unsigned char* dst, Output output) const {
    if (line_length_ != 0) {
        encode::encode_wrapped_to_ptr_on(*kernels_, src, length, dst, alphabet_, padded_, line_length_);
        return;
    }
    const bool cached = output == Output::New && characters(length) > FRESHLY_MAPPED_SIZE;
    encode_unwrapped(src, length, dst, cached);
}

}  // namespace vantorq::base64
