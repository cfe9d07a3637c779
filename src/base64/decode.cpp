#include "base64/decode.hpp"

#include <cstdint>

#include "backend/invariant.hpp"

namespace vantorq::base64::decode {
namespace {

using runtime_dispatch::DecodeKernels;
using runtime_dispatch::RuntimeBackend;

// Shorter bodies never enter a vector tier: set-up would cost more than it saves.
constexpr std::size_t VECTOR_MIN_BODY = 16;

void write_triple(unsigned char* dst, std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    dst[0] = static_cast<unsigned char>(a << 2 | b >> 4);
    dst[1] = static_cast<unsigned char>(b << 4 | c >> 2);
    dst[2] = static_cast<unsigned char>(c << 6 | d);
}

}  // namespace

error::KernelResult vector_decode(const RuntimeBackend& backend, DecodeAlphabet alphabet, const unsigned char* src,
                                  std::size_t len, unsigned char* dst) {
    const DecodeKernels& kernels = backend.decoders;
    if (kernels.standard == nullptr) return error::KernelResult::success();
    switch (alphabet) {
        case DecodeAlphabet::Standard:
            return kernels.standard(src, len, dst);
        case DecodeAlphabet::UrlSafe:
            return kernels.url_safe(src, len, dst);
        default:
            return kernels.mixed(src, len, dst);
    }
}

error::KernelResult vector_decode_validated(const RuntimeBackend& backend, const unsigned char* src,
                                            std::size_t len, unsigned char* dst) {
    const auto validated = backend.decoders.validated_standard;
    return validated != nullptr ? validated(src, len, dst) : error::KernelResult::success();
}

DecodedPrefix vector_decode_prefix(const RuntimeBackend& backend, DecodeAlphabet alphabet, const unsigned char* src,
                                   std::size_t len, unsigned char* dst) {
    const DecodeKernels& kernels = backend.decoders;
    const auto prefix = alphabet == DecodeAlphabet::Standard ? kernels.prefix_standard : kernels.prefix_mixed;
    return prefix != nullptr ? prefix(src, len, dst) : DecodedPrefix{};
}

error::KernelResult decode_to_ptr_with_layout_mode_on(const RuntimeBackend& backend, const unsigned char* src,
                                                      std::size_t len, unsigned char* dst, std::size_t layout_mode,
                                                      DecodeAlphabet alphabet) {
    if (len % 4 != 0) backend::fail_invariant("Base64 text length is not a multiple of 4");
    if (layout_mode > 2) backend::fail_invariant("Base64 layout mode above 2");
    if (layout_mode != 0 && len < 4) backend::fail_invariant("Base64 padding without a final quantum");

    const DecodeTable& table = decode_table(alphabet);
    const std::size_t body = layout_mode == 0 ? len : len - 4;
    std::size_t i = 0;

    if (body >= VECTOR_MIN_BODY) {
        const error::KernelResult vector = vector_decode(backend, alphabet, src, body, dst);
        if (!vector.ok()) return vector;
        if (vector.consumed > body) backend::fail_invariant("Base64 vector decoder consumed past its source");
        i = vector.consumed;
        dst += vector.written;
    }
    for (; body - i >= 8; i += 8, dst += 6) {
        std::uint8_t v[8];
        std::uint8_t any = 0;
        for (int j = 0; j < 8; ++j) any |= v[j] = table[src[i + j]];
        if (any & INVALID_SYMBOL_BIT) return error::KernelResult::invalid_input();
        write_triple(dst, v[0], v[1], v[2], v[3]);
        write_triple(dst + 3, v[4], v[5], v[6], v[7]);
    }
    for (; i < body; i += 4, dst += 3) {
        const std::uint8_t a = table[src[i]], b = table[src[i + 1]], c = table[src[i + 2]], d = table[src[i + 3]];
        if ((a | b | c | d) & INVALID_SYMBOL_BIT) return error::KernelResult::invalid_input();
        write_triple(dst, a, b, c, d);
    }

    if (layout_mode != 0 && !decode_final_symbols(src + body, 4 - layout_mode, dst, table))
        return error::KernelResult::invalid_input();
    return error::KernelResult::success();
}

error::KernelResult decode_to_ptr_with_layout_mode(const unsigned char* src, std::size_t len, unsigned char* dst,
                                                   std::size_t layout_mode, DecodeAlphabet alphabet) {
    return decode_to_ptr_with_layout_mode_on(runtime_dispatch::selected_backend(), src, len, dst, layout_mode,
                                             alphabet);
}

}  // namespace vantorq::base64::decode
