#include "xxhash/long_inputs.hpp"

#include <cstring>

#include "xxhash/generic/long_kernels.hpp"

namespace vantorq::xxhash::long_inputs {
namespace {

// The portable lanes: eight words, each secret word read where it is used.
struct ScalarLanes {
    struct State {
        std::uint64_t lane[ACCUMULATOR_LANES];
    };
    using Key = const unsigned char*;

    static State load(const std::uint64_t* words) {
        State s;
        std::memcpy(s.lane, words, sizeof s.lane);
        return s;
    }
    static void store(std::uint64_t* words, const State& s) { std::memcpy(words, s.lane, sizeof s.lane); }
    static State zero() { return {}; }
    static Key load_key(const unsigned char* secret) { return secret; }

    static void accumulate_stripe(State& products, State& data_sum, const unsigned char* stripe, Key key) {
        for (std::size_t i = 0; i < ACCUMULATOR_LANES; ++i) {
            const std::uint64_t data = load_u64(stripe + 8 * i);
            const std::uint64_t keyed = data ^ load_u64(key + 8 * i);
            data_sum.lane[i] += data;
            products.lane[i] += (keyed & 0xffffffffu) * (keyed >> 32);
        }
    }

    static void fold_data(State& acc, const State& data_sum) {
        for (std::size_t i = 0; i < ACCUMULATOR_LANES; ++i) acc.lane[i ^ 1] += data_sum.lane[i];
    }

    static void scramble(State& acc, Key key) {
        for (std::size_t i = 0; i < ACCUMULATOR_LANES; ++i)
            acc.lane[i] = (xorshift(acc.lane[i], 47) ^ load_u64(key + 8 * i)) * PRIME32_1;
    }
};

}  // namespace

namespace scalar {
constinit const LongKernels KERNELS = generic::long_kernels<ScalarLanes>();

Accumulators accumulate(const unsigned char* data, std::size_t len, const unsigned char* secret) {
    return KERNELS.accumulate(data, len, secret);
}

std::size_t continue_stripes(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                             std::size_t stripes_in_block, const unsigned char* secret) {
    return KERNELS.continue_stripes(acc, data, stripes, stripes_in_block, secret);
}
}  // namespace scalar

void accumulate_last_stripe(Accumulators& acc, const unsigned char* stripe, const unsigned char* secret,
                            RuntimeGeometry geometry) {
    ScalarLanes::State products = ScalarLanes::load(acc.data());
    ScalarLanes::State data_sum = ScalarLanes::zero();
    ScalarLanes::accumulate_stripe(products, data_sum, stripe, secret + geometry.last_stripe_offset());
    ScalarLanes::fold_data(products, data_sum);
    ScalarLanes::store(acc.data(), products);
}

void initialize_secret_scalar(unsigned char* secret, std::uint64_t seed) {
    for (std::size_t offset = 0; offset < SECRET_SIZE; offset += 16) {
        store_u64(secret + offset, load_u64(DEFAULT_SECRET.data() + offset) + seed);
        store_u64(secret + offset + 8, load_u64(DEFAULT_SECRET.data() + offset + 8) - seed);
    }
}

}  // namespace vantorq::xxhash::long_inputs
