#include "base64/decode_tiers.hpp"

#include <cstdint>

// GCC 12's byte-permutation intrinsics start from an "undefined" register and
// trip -Wmaybe-uninitialized on every use; the value is fully overwritten.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "base64/avx512/decode_steps.hpp"
#include "base64/generic/decode_steps.hpp"

namespace vantorq::base64::decode::avx512 {
namespace {

using generic::BlockRun;
using generic::DecodeKind;

struct Avx512 {};
using V128 = generic::Vec128<Avx512>;
using V256 = generic::Vec256<Avx512>;

using avx512_steps::first_lanes;
using avx512_steps::PACKED_BYTES;
using avx512_steps::Tables;
using avx512_steps::WIDTH;

struct Translated {
    __m512i values;
    __mmask64 invalid;  // one bit per character that is not a symbol
};

template <class Contract>
Translated translate(__m512i chars, const Tables& t) {
    const __m512i values = avx512_steps::lookup(chars, t);
    if constexpr (!Contract::CHECKS_INPUT) return {values, 0};
    return {values, _mm512_movepi8_mask(_mm512_or_si512(values, chars))};
}

void store_exact(unsigned char* dst, __m512i packed, std::size_t bytes) {
    _mm512_mask_storeu_epi8(dst, first_lanes(bytes), packed);
}

// One step over `count` characters (at most a register), read with a masked
// load so nothing past them is touched; only the loaded lanes are tested.
// Returns the characters it decoded: `count`, or for a prefix
// run the quanta before the first invalid byte. Sets `invalid` otherwise.
template <DecodeKind Kind, class Contract>
std::size_t run_step(const unsigned char* src, std::size_t count, unsigned char* dst, const Tables& t,
                     bool& invalid) {
    const __mmask64 loaded = first_lanes(count);
    const Translated block = translate<Contract>(_mm512_maskz_loadu_epi8(loaded, src), t);
    const __mmask64 bad = block.invalid & loaded;
    if (bad != 0) {
        if constexpr (Kind != DecodeKind::Prefix) {
            invalid = true;
            return 0;
        }
        count = static_cast<std::size_t>(__builtin_ctzll(bad)) / 4 * 4;
    }
    store_exact(dst, avx512_steps::pack(block.values, t), count / 4 * 3);
    return count;
}

template <DecodeKind Kind, class Contract>
BlockRun run_blocks(const unsigned char* src, std::size_t len, unsigned char* dst) {
    if (len < WIDTH) return generic::run_blocks<Kind, Contract, V256, V128>(src, len, dst);

    const Tables t(decode_table(Contract::ALPHABET).data());
    std::size_t i = 0;
    // Two registers per step, both tested before either is stored.
    for (; len - i >= 2 * WIDTH; i += 2 * WIDTH) {
        const Translated a = translate<Contract>(_mm512_loadu_si512(src + i), t);
        const Translated b = translate<Contract>(_mm512_loadu_si512(src + i + WIDTH), t);
        if ((a.invalid | b.invalid) != 0) {
            if constexpr (Kind != DecodeKind::Prefix) return {i, true};
            break;  // a prefix run lets the single steps find the failing quantum
        }
        // Whole stores where the next bytes are written next anyway: a
        // masked store that meets a page not yet mapped costs the kernel
        // more (a new 64 MiB result: 29.5 ms a call masked, 26.5 whole). A
        // prefix run writes nothing past what it reports.
        _mm512_storeu_si512(dst, avx512_steps::pack(a.values, t));
        if (Kind == DecodeKind::Decode && len - i >= 4 * WIDTH)
            _mm512_storeu_si512(dst + PACKED_BYTES, avx512_steps::pack(b.values, t));
        else
            store_exact(dst + PACKED_BYTES, avx512_steps::pack(b.values, t), PACKED_BYTES);
        dst += 2 * PACKED_BYTES;
    }
    // Single registers, then the whole quanta left in one masked step.
    bool invalid = false;
    while (len - i >= 4) {
        const std::size_t count = (len - i < WIDTH ? len - i : WIDTH) / 4 * 4;
        const std::size_t done = run_step<Kind, Contract>(src + i, count, dst, t, invalid);
        if (invalid) return {i, true};
        i += done;
        dst += done / 4 * 3;
        if (done != count) break;  // a prefix run met an invalid byte
    }
    return {i, false};
}

}  // namespace

template <class Contract>
error::KernelResult decode(const unsigned char* src, std::size_t len, unsigned char* dst) {
    return generic::decode_result(run_blocks<DecodeKind::Decode, Contract>(src, len, dst));
}

template <class Contract>
DecodedPrefix decode_prefix(const unsigned char* src, std::size_t len, unsigned char* dst) {
    const std::size_t consumed = run_blocks<DecodeKind::Prefix, Contract>(src, len, dst).consumed;
    return {consumed, consumed / 4 * 3};
}

template error::KernelResult decode<StandardDecoder>(const unsigned char*, std::size_t, unsigned char*);
template error::KernelResult decode<UrlSafeDecoder>(const unsigned char*, std::size_t, unsigned char*);
template error::KernelResult decode<MixedDecoder>(const unsigned char*, std::size_t, unsigned char*);
template error::KernelResult decode<ValidatedStandardDecoder>(const unsigned char*, std::size_t, unsigned char*);
template DecodedPrefix decode_prefix<StandardDecoder>(const unsigned char*, std::size_t, unsigned char*);
template DecodedPrefix decode_prefix<MixedDecoder>(const unsigned char*, std::size_t, unsigned char*);

}  // namespace vantorq::base64::decode::avx512
