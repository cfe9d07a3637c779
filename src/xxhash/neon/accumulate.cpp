#include "xxhash/neon/accumulate.hpp"

#include <arm_neon.h>

#include "xxhash/generic/long_kernels.hpp"
#include "xxhash/generic/vector_lanes.hpp"

namespace vantorq::xxhash::neon {
namespace {

struct Ops {
    using Vec = uint64x2_t;
    [[gnu::always_inline]] static Vec load(const unsigned char* p) { return vreinterpretq_u64_u8(vld1q_u8(p)); }
    [[gnu::always_inline]] static void store(unsigned char* p, Vec v) { vst1q_u8(p, vreinterpretq_u8_u64(v)); }
    [[gnu::always_inline]] static Vec zero() { return vdupq_n_u64(0); }
    [[gnu::always_inline]] static Vec broadcast(std::uint64_t w) { return vdupq_n_u64(w); }
    [[gnu::always_inline]] static Vec add(Vec a, Vec b) { return vaddq_u64(a, b); }
    [[gnu::always_inline]] static Vec xor2(Vec a, Vec b) { return veorq_u64(a, b); }
    [[gnu::always_inline]] static Vec xor3(Vec a, Vec b, Vec c) { return veorq_u64(veorq_u64(a, b), c); }
    // UMULL of the narrowed lanes; the scramble's (low + (high << 32)) then
    // becomes UMULL, SHL and UMLAL.
    [[gnu::always_inline]] static Vec multiply_low32(Vec a, Vec b) { return vmull_u32(vmovn_u64(a), vmovn_u64(b)); }
    [[gnu::always_inline]] static Vec high_to_low32(Vec v) { return vshrq_n_u64(v, 32); }
    [[gnu::always_inline]] static Vec swap_adjacent(Vec v) { return vextq_u64(v, v, 1); }
    template <int N>
    [[gnu::always_inline]] static Vec shift_right(Vec v) {
        return vshrq_n_u64(v, N);
    }
    template <int N>
    [[gnu::always_inline]] static Vec shift_left(Vec v) {
        return vshlq_n_u64(v, N);
    }
};

// The generic lanes with NEON's own stripe step. UMLAL multiplies 32-bit
// halves that sit apart, in two registers' low (or, UMLAL2, high) halves, so
// the keyed words of a pair of registers are unzipped together: the even
// words (every lane's low half) into one register, the odd into another. Two
// UZPs per pair where each register alone takes an XTN and a SHRN; the upper
// halves of the unzipped registers are the second register's lanes.
//
// llvm-mca 19, cycles per 64-byte stripe of the block loop (GCC 12, -O3):
//                     this loop   XTN+SHRN per register   scalar kernel
//   Neoverse N1          8.1             10.1                 24.1
//   Neoverse V1          4.2              5.1                 10.8
// and over whole blocks (16 stripes and the scramble, per stripe): N1 9.3
// against the scalar 25.6, V1 5.1 against 11.0. The N1 is bound by its two
// vector pipes (16 vector operations per stripe), the scalar kernel there by
// its 64-bit MADDs, one per three cycles. Two stripes per loop trip gained
// 1% (8.1 and 4.1), so one it is.
struct Lanes : generic::VectorLanes<Ops> {
    [[gnu::always_inline]] static void accumulate_stripe(State& products, State& data_sum, const unsigned char* stripe,
                                                         const Key& key) {
        Vec keyed[COUNT];
        generic::unrolled<COUNT>([&](auto j) {
            const Vec data = Ops::load(stripe + j * sizeof(Vec));
            keyed[j] = veorq_u64(data, key.v[j]);
            data_sum.v[j] = vaddq_u64(data_sum.v[j], data);
        });
        generic::unrolled<COUNT / 2>([&](auto pair) {
            constexpr std::size_t j = 2 * pair;
            const uint32x4_t first = vreinterpretq_u32_u64(keyed[j]);
            const uint32x4_t second = vreinterpretq_u32_u64(keyed[j + 1]);
            const uint32x4_t low = vuzp1q_u32(first, second);
            const uint32x4_t high = vuzp2q_u32(first, second);
            products.v[j] = vmlal_u32(products.v[j], vget_low_u32(low), vget_low_u32(high));
            products.v[j + 1] = vmlal_high_u32(products.v[j + 1], low, high);
        });
    }
};

}  // namespace

constinit const long_inputs::LongKernels KERNELS = generic::long_kernels<Lanes>();

}  // namespace vantorq::xxhash::neon
