// Speed of XXH64 and XXH32 (one-shot and streaming) at 16 B, 1 KiB and 1 MiB,
// with XXH3-64 beside them for scale. Not a test: run it by hand, on an idle
// machine, and compare runs side by side.
//
//   build/cpp/bench/cpp/vantorq_xxhash_timing
//
// Each figure is the best of several rounds of back-to-back calls on one
// buffer (throughput, warm caches); cycles are time-stamp counter ticks.

#include <x86intrin.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "xxhash/classic.hpp"
#include "xxhash/one_shot.hpp"
#include "xxhash/streaming.hpp"

namespace {

using namespace vantorq::xxhash;

struct Figure {
    double gigabytes_per_second;
    double ticks_per_byte;
};

template <typename Hash>
Figure measure(const std::vector<unsigned char>& input, std::size_t len, Hash&& hash) {
    const std::size_t calls = std::max<std::size_t>(1, (std::size_t{64} << 20) / std::max<std::size_t>(len, 64));
    std::uint64_t sink = 0;
    Figure best{0, 1e30};
    for (int round = 0; round < 7; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const std::uint64_t start_ticks = __rdtsc();
        for (std::size_t i = 0; i < calls; ++i) sink += hash(input.data(), len);
        const std::uint64_t ticks = __rdtsc() - start_ticks;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double bytes = static_cast<double>(calls) * static_cast<double>(len);
        best.gigabytes_per_second = std::max(best.gigabytes_per_second, bytes / seconds / 1e9);
        best.ticks_per_byte = std::min(best.ticks_per_byte, static_cast<double>(ticks) / bytes);
    }
    asm volatile("" : : "r"(sink));
    return best;
}

std::uint64_t digest_of(const classic::Xxh64Hasher& h) { return h.digest(); }
std::uint64_t digest_of(const classic::Xxh32Hasher& h) { return h.digest(); }
std::uint64_t digest_of(const streaming::Xxh3Hasher& h) { return h.digest_64(); }

template <typename Hasher, std::size_t CHUNK>
std::uint64_t streamed(const unsigned char* p, std::size_t n) {
    Hasher hasher;
    for (std::size_t done = 0; done < n; done += CHUNK) hasher.update(p + done, std::min(CHUNK, n - done));
    return digest_of(hasher);
}

}  // namespace

int main() {
    std::vector<unsigned char> input(1u << 20);
    for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<unsigned char>(i * 2654435761u >> 13);

    struct Row {
        const char* name;
        std::uint64_t (*hash)(const unsigned char*, std::size_t);
    };
    const Row rows[] = {
        {"xxh64", [](const unsigned char* p, std::size_t n) { return classic::xxh64(p, n, 0); }},
        {"xxh32", [](const unsigned char* p, std::size_t n) -> std::uint64_t { return classic::xxh32(p, n, 0); }},
        {"xxh3_64", [](const unsigned char* p, std::size_t n) { return one_shot::xxh3_64(p, n, 0); }},
        {"xxh64 streamed, 4 KiB chunks", streamed<classic::Xxh64Hasher, 4096>},
        {"xxh32 streamed, 4 KiB chunks", streamed<classic::Xxh32Hasher, 4096>},
        {"xxh3_64 streamed, 4 KiB chunks", streamed<streaming::Xxh3Hasher, 4096>},
        {"xxh3_64 streamed, 100 B chunks", streamed<streaming::Xxh3Hasher, 100>},
    };
    std::printf("%-32s %22s %22s %22s\n", "", "16 B", "1 KiB", "1 MiB");
    for (const Row& row : rows) {
        std::printf("%-32s", row.name);
        for (const std::size_t len : {std::size_t{16}, std::size_t{1024}, std::size_t{1} << 20}) {
            const Figure f = measure(input, len, row.hash);
            std::printf(" %8.2f GB/s %5.3f t/B", f.gigabytes_per_second, f.ticks_per_byte);
        }
        std::printf("\n");
    }
}
