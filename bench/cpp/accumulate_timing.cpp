// Speed of XXH3's long path on each described tier that this processor runs:
// the one-block hashes (seed 0, up to 1 KiB) and the accumulate kernel
// beyond, and the same loop keyed by a caller's secret (the default secret's
// bytes, so that only the run-time geometry differs). Not a test: run it by hand, on an idle machine.
//
//   build/cpp/bench/cpp/vantorq_accumulate_timing [tier name...]
//
// The tiers take turns within each round, so that a slower or faster spell
// of the machine reaches them all; each figure is the best round's (GB/s,
// warm caches).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <vector>

#include "backend/tiers.hpp"
#include "xxhash/long_inputs.hpp"
#include "xxhash/one_shot.hpp"

namespace {

using namespace vantorq;

constexpr std::size_t SIZES[] = {256, 512, 1024, 4096, 16384, 65536, 1 << 20};
constexpr int ROUNDS = 25;

template <typename Hash>
double gigabytes_per_second(const std::vector<unsigned char>& input, std::size_t len, Hash&& hash) {
    const std::size_t calls = std::max<std::size_t>(1, (std::size_t{32} << 20) / len);
    std::uint64_t sink = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < calls; ++i) sink += hash(input.data(), len);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    asm volatile("" : : "r"(sink));
    return static_cast<double>(calls) * static_cast<double>(len) / seconds / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<unsigned char> input(std::size_t{1} << 20);
    for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<unsigned char>(i * 2654435761u >> 13);

    struct Row {
        std::string_view name;
        xxhash::long_inputs::LongEngine engine;
        std::vector<double> best_64, best_128, best_secret_64;
    };
    const xxhash::SecretView secret = *xxhash::SecretView::of(xxhash::DEFAULT_SECRET);
    std::vector<Row> rows;
    for (const backend::DescribedTier& tier : backend::TIERS) {
        const bool named =
            argc < 2 || std::any_of(argv + 1, argv + argc, [&](const char* a) { return tier.name == a; });
        if (named && backend::processor().runs(tier.processor))
            rows.push_back({tier.name, xxhash::long_inputs::for_processor(tier.processor),
                            std::vector<double>(std::size(SIZES)), std::vector<double>(std::size(SIZES)),
                            std::vector<double>(std::size(SIZES))});
    }
    for (int round = 0; round < ROUNDS; ++round)
        for (Row& row : rows)
            for (std::size_t s = 0; s < std::size(SIZES); ++s) {
                const auto& engine = row.engine;
                row.best_64[s] = std::max(row.best_64[s], gigabytes_per_second(input, SIZES[s], [&](auto p, auto n) {
                                              return xxhash::one_shot::xxh3_64(p, n, 0, engine);
                                          }));
                row.best_128[s] = std::max(row.best_128[s], gigabytes_per_second(input, SIZES[s], [&](auto p, auto n) {
                                               return xxhash::one_shot::xxh3_128(p, n, 0, engine).low;
                                           }));
                row.best_secret_64[s] =
                    std::max(row.best_secret_64[s], gigabytes_per_second(input, SIZES[s], [&](auto p, auto n) {
                                 return xxhash::one_shot::xxh3_64_with_secret(p, n, secret, engine);
                             }));
            }

    std::printf("%-24s", "GB/s");
    for (const std::size_t size : SIZES) std::printf(" %8zu", size);
    std::printf("\n");
    for (const Row& row : rows)
        for (const auto& [hash, best] : {std::pair{"xxh3_64", &row.best_64}, std::pair{"xxh3_128", &row.best_128},
                                         std::pair{"secret64", &row.best_secret_64}}) {
            std::printf("%-16.*s %-8s", static_cast<int>(row.name.size()), row.name.data(), hash);
            for (const double figure : *best) std::printf(" %8.2f", figure);
            std::printf("\n");
        }
}
