#include "base64/encode.hpp"

#include <cstdint>

#include "base64/lengths.hpp"

namespace vantorq::base64::encode {
namespace {

using runtime_dispatch::EncodeKernels;
using runtime_dispatch::RuntimeBackend;

// Shorter sources never enter a vector tier: set-up would cost more than it saves.
constexpr std::size_t VECTOR_MIN_LENGTH = 16;

// One 24-bit group, split big-endian into four 6-bit values.
void encode_group(const unsigned char* src, unsigned char* dst, const Symbols& symbols) {
    const std::uint32_t group = std::uint32_t{src[0]} << 16 | std::uint32_t{src[1]} << 8 | src[2];
    dst[0] = symbols[group >> 18];
    dst[1] = symbols[(group >> 12) & 0x3f];
    dst[2] = symbols[(group >> 6) & 0x3f];
    dst[3] = symbols[group & 0x3f];
}

bool is_builtin(const EncodeAlphabet& alphabet) {
    return alphabet.kind == EncodeAlphabet::Kind::Standard || alphabet.kind == EncodeAlphabet::Kind::UrlSafe;
}

// Runs the backend's vector encoder over the front of the source and returns
// the bytes it consumed.
std::size_t encode_vector(const RuntimeBackend& backend, const unsigned char* src, std::size_t len,
                          unsigned char* dst, const EncodeAlphabet& alphabet, bool cached) {
    const EncodeKernels& kernels = backend.encoders;
    if (kernels.encode == nullptr || len < VECTOR_MIN_LENGTH || !alphabet.vector_capable()) return 0;
    const bool stream = !cached && backend.streaming_enabled && len > backend.streaming_threshold &&
                        reinterpret_cast<std::uintptr_t>(dst) % 16 == 0;
    if (!is_builtin(alphabet)) return kernels.encode_custom(src, len, dst, alphabet, stream);
    return kernels.encode(src, len, dst, alphabet.kind == EncodeAlphabet::Kind::UrlSafe, stream);
}

std::size_t encode_wrapped_vector(const RuntimeBackend& backend, const unsigned char* src, std::size_t len,
                                  WrapCursor& cursor, const EncodeAlphabet& alphabet) {
    const EncodeKernels& kernels = backend.encoders;
    if (kernels.encode_wrapped == nullptr || len < VECTOR_MIN_LENGTH || !alphabet.vector_capable()) return 0;
    if (!is_builtin(alphabet)) return kernels.encode_wrapped_custom(src, len, cursor, alphabet);
    return kernels.encode_wrapped(src, len, cursor, alphabet.kind == EncodeAlphabet::Kind::UrlSafe);
}

}  // namespace

void encode_scalar_ptr_with_alphabet(const unsigned char* src, std::size_t len, unsigned char* dst,
                                     const Symbols& symbols) {
    std::size_t i = 0;
    for (; len - i >= 6; i += 6, dst += 8) {
        encode_group(src + i, dst, symbols);
        encode_group(src + i + 3, dst + 4, symbols);
    }
    if (len - i >= 3) {
        encode_group(src + i, dst, symbols);
        i += 3;
        dst += 4;
    }
    if (len - i == 1) {
        const unsigned b = src[i];
        dst[0] = symbols[b >> 2];
        dst[1] = symbols[(b << 4) & 0x30];
        dst[2] = PAD;
        dst[3] = PAD;
    } else if (len - i == 2) {
        const unsigned b0 = src[i], b1 = src[i + 1];
        dst[0] = symbols[b0 >> 2];
        dst[1] = symbols[((b0 << 4) | (b1 >> 4)) & 0x3f];
        dst[2] = symbols[(b1 & 0x0f) << 2];
        dst[3] = PAD;
    }
}

void encode_scalar_wrapped_with_alphabet(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                         const Symbols& symbols, bool pad) {
    unsigned char scratch[8];
    std::size_t i = 0;
    for (; len - i >= 6; i += 6) {
        encode_group(src + i, scratch, symbols);
        encode_group(src + i + 3, scratch + 4, symbols);
        cursor.put_group(scratch);
        cursor.put_group(scratch + 4);
    }
    const std::size_t rest = len - i;
    if (rest == 0) return;
    encode_scalar_ptr_with_alphabet(src + i, rest, scratch, symbols);
    const std::size_t count = pad ? padded_encoded_length(rest) : unpadded_encoded_length(rest);
    const std::size_t whole = count / 4 * 4;
    for (std::size_t g = 0; g < whole; g += 4) cursor.put_group(scratch + g);
    if (count != whole) {
        cursor.break_line_if_full();
        cursor.put_on_line(scratch + whole, count - whole);
    }
}

void encode_to_ptr_on(const RuntimeBackend& backend, const unsigned char* src, std::size_t len, unsigned char* dst,
                      const EncodeAlphabet& alphabet, bool cached) {
    const std::size_t consumed = encode_vector(backend, src, len, dst, alphabet, cached);
    encode_scalar_ptr_with_alphabet(src + consumed, len - consumed, dst + consumed / 3 * 4, alphabet.symbols);
}

void encode_wrapped_to_ptr_on(const RuntimeBackend& backend, const unsigned char* src, std::size_t len,
                              unsigned char* dst, const EncodeAlphabet& alphabet, bool pad, std::size_t wrapcol) {
    WrapCursor cursor{dst, wrapcol};
    const std::size_t consumed = encode_wrapped_vector(backend, src, len, cursor, alphabet);
    encode_scalar_wrapped_with_alphabet(src + consumed, len - consumed, cursor, alphabet.symbols, pad);
}

}  // namespace vantorq::base64::encode
