#include "base64/avx2/encode.hpp"

#include <cstdint>
#include <type_traits>

#include "base64/generic/encode_lines.hpp"
#include "base64/generic/encode_steps.hpp"
#include "base64/generic/outputs.hpp"

namespace vantorq::base64::encode::avx2 {
namespace {

struct Avx2 {};
using V128 = generic::Vec128<Avx2>;
using V256 = generic::Vec256<Avx2>;

constexpr std::size_t BLOCK_BYTES = 96;
// Below this the 96-byte kernel would run too few blocks to pay for its set-up.
constexpr std::size_t KERNEL_MIN_LENGTH = 220;

struct EncodeConstants {
    generic::EncodeConstants<V128> narrow;
    generic::EncodeConstants<V256> wide;
};

EncodeConstants encode_constants(const OffsetTable& offsets) {
    return {generic::EncodeConstants<V128>(offsets), generic::EncodeConstants<V256>(offsets)};
}

// 96 source bytes into 128 characters per block. `shifted` points 4 bytes
// before the first block: each 32-byte load covers 4 bytes on either side of
// its 24-byte piece, so the caller leaves 4 source bytes after the last block.
// Each piece is stored as soon as it is made: holding all four first needs
// more than the 16 registers and spilled one through the stack every block.
template <class Out>
void encode_96_shifted(const unsigned char* shifted, Out& out, std::size_t blocks, const EncodeConstants& k) {
    for (; blocks != 0; --blocks, shifted += BLOCK_BYTES) {
        out.template put<V256>(generic::encode_24_shifted(shifted, k.wide));
        out.template put<V256>(generic::encode_24_shifted(shifted + 24, k.wide));
        out.template put<V256>(generic::encode_24_shifted(shifted + 48, k.wide));
        out.template put<V256>(generic::encode_24_shifted(shifted + 72, k.wide));
    }
}

bool is_aligned(const unsigned char* p, std::uintptr_t alignment) {
    return reinterpret_cast<std::uintptr_t>(p) % alignment == 0;
}

template <class Out>
std::size_t encode_loop(const unsigned char* src, std::size_t len, Out& out, const EncodeConstants& k, bool stream) {
    if (len < 32) return generic::encode_12_steps(src, len, 0, out, k.narrow);
    out.template put<V256>(generic::encode_24_first(src, k.wide));
    std::size_t i = 24;

    if (len >= KERNEL_MIN_LENGTH) {
        constexpr bool direct = std::is_same_v<Out, generic::DirectOutput<Avx2>>;
        if constexpr (direct) {
            // Half a register short of alignment: one 16-character step aligns the bulk.
            if (reinterpret_cast<std::uintptr_t>(out.out) % 32 == 16) {
                out.template put<V128>(generic::encode_12(src + i, k.narrow));
                i += 12;
            }
        }
        const std::size_t blocks = (len - i - 4) / BLOCK_BYTES;
        bool streamed = false;
        if constexpr (direct) {
            if (stream && is_aligned(out.out, 32)) {
                generic::StreamingOutput<Avx2> streaming{out.out};
                encode_96_shifted(src + i - 4, streaming, blocks, k);
                _mm_sfence();  // non-temporal stores are weakly ordered
                out.out = streaming.out;
                streamed = true;
            }
        }
        if (!streamed) encode_96_shifted(src + i - 4, out, blocks, k);
        i += blocks * BLOCK_BYTES;
    }

    for (; i + 28 <= len; i += 24) out.template put<V256>(generic::encode_24_shifted(src + i - 4, k.wide));
    return generic::encode_12_steps(src, len, i, out, k.narrow);
}

const OffsetTable& builtin_offsets(bool url) { return url ? URL_SAFE_OFFSETS : STANDARD_OFFSETS; }

}  // namespace

std::size_t encode_custom(const unsigned char* src, std::size_t len, unsigned char* dst, const OffsetTable& offsets,
                          bool stream) {
    generic::DirectOutput<Avx2> out{dst};
    return encode_loop(src, len, out, encode_constants(offsets), stream);
}

std::size_t encode_with_store(const unsigned char* src, std::size_t len, unsigned char* dst, bool url, bool stream) {
    return encode_custom(src, len, dst, builtin_offsets(url), stream);
}

std::size_t encode_wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                  const OffsetTable& offsets) {
    const EncodeConstants k = encode_constants(offsets);
    const std::size_t lines = generic::encode_lines(src, len, cursor, k.wide);
    generic::WrappedOutput<Avx2> out{cursor};
    return lines + encode_loop(src + lines, len - lines, out, k, false);
}

std::size_t encode_wrapped(const unsigned char* src, std::size_t len, WrapCursor& cursor, bool url) {
    return encode_wrapped_custom(src, len, cursor, builtin_offsets(url));
}

}  // namespace vantorq::base64::encode::avx2
