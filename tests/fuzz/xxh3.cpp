// XXH3-64 and XXH3-128: the one-shot hashes of fuzzer-chosen slices of the
// message and the list kernels over all of them, each list digest equal to
// the one-shot hash of its item.
// Input: seed choice, item count, (offset, length) of each item, message.

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "tier.hpp"
#include "xxhash/batch.hpp"
#include "xxhash/one_shot.hpp"

namespace vantorq::fuzz {

std::string transcript(Input input) {
    FuzzedDataProvider provider(input.data(), input.size());
    // Seed 0 runs on the default secret and has paths of its own.
    const std::uint64_t seed = provider.ConsumeBool() ? provider.ConsumeIntegral<std::uint64_t>() : 0;
    std::vector<std::pair<std::size_t, std::size_t>> slices(provider.ConsumeIntegralInRange<std::size_t>(1, 8));
    for (auto& [offset, length] : slices) {
        offset = provider.ConsumeIntegral<std::uint8_t>();
        length = provider.ConsumeIntegral<std::uint16_t>();
    }
    const auto message = provider.ConsumeRemainingBytes<unsigned char>();

    // Each item in a block of its own, so that a read past either end is caught.
    std::vector<ExactBlock> blocks;
    std::vector<xxhash::ByteView> items;
    for (const auto& [offset, length] : slices) {
        const std::size_t start = std::min(offset, message.size());
        blocks.emplace_back(Input(message).subspan(start, std::min(length, message.size() - start)));
    }
    for (const ExactBlock& block : blocks) items.push_back({block.data(), block.size()});

    std::string out;
    std::vector<unsigned char> digests_64(items.size() * xxhash::batch::DIGEST_BYTES_64);
    std::vector<unsigned char> digests_128(items.size() * xxhash::batch::DIGEST_BYTES_128);
    xxhash::batch::hash_items_64(items, seed, digests_64.data());
    xxhash::batch::hash_items_128(items, seed, digests_128.data());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::uint64_t hash_64 = xxhash::one_shot::xxh3_64(items[i].data, items[i].len, seed);
        const xxhash::Hash128 hash_128 = xxhash::one_shot::xxh3_128(items[i].data, items[i].len, seed);
        require(xxhash::load_u64(digests_64.data() + i * 8) == hash_64, "a list's XXH3-64 differs from the one-shot");
        require(xxhash::load_u64(digests_128.data() + i * 16) == hash_128.low &&
                    xxhash::load_u64(digests_128.data() + i * 16 + 8) == hash_128.high,
                "a list's XXH3-128 differs from the one-shot");
        note(out, "xxh3", {items[i].len, hash_64, hash_128.low, hash_128.high});
    }
    return out;
}

}  // namespace vantorq::fuzz
