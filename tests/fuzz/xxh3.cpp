// XXH3-64 and XXH3-128: the one-shot hashes of fuzzer-chosen slices of the
// message and the list kernels over all of them, each list digest equal to
// the one-shot hash of its item; and the streaming hashers (XXH3, XXH64,
// XXH32) fed the slices in turn, after each one equal to the one-shot hash
// of everything fed, also when restored from their byte form. Every call
// runs on the tier's engine.
// Input: seed choice, item count, (offset, length) of each item, message.

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "tier.hpp"
#include "xxhash/batch.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/long_inputs.hpp"
#include "xxhash/one_shot.hpp"
#include "xxhash/streaming.hpp"

namespace vantorq::fuzz {

std::string transcript(Input input, const backend::Processor& tier) {
    const xxhash::long_inputs::LongEngine engine = xxhash::long_inputs::for_processor(tier);
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
    xxhash::batch::hash_items_64(items, seed, digests_64.data(), engine);
    xxhash::batch::hash_items_128(items, seed, digests_128.data(), engine);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::uint64_t hash_64 = xxhash::one_shot::xxh3_64(items[i].data, items[i].len, seed, engine);
        const xxhash::Hash128 hash_128 = xxhash::one_shot::xxh3_128(items[i].data, items[i].len, seed, engine);
        require(xxhash::load_u64(digests_64.data() + i * 8) == hash_64, "a list's XXH3-64 differs from the one-shot");
        require(xxhash::load_u64(digests_128.data() + i * 16) == hash_128.low &&
                    xxhash::load_u64(digests_128.data() + i * 16 + 8) == hash_128.high,
                "a list's XXH3-128 differs from the one-shot");
        note(out, "xxh3", {items[i].len, hash_64, hash_128.low, hash_128.high});
    }

    xxhash::streaming::Xxh3Hasher xxh3(seed, engine);
    xxhash::classic::Xxh64Hasher xxh64(seed, engine);
    xxhash::classic::Xxh32Hasher xxh32(static_cast<std::uint32_t>(seed), engine);
    std::vector<unsigned char> fed;
    for (const xxhash::ByteView& item : items) {
        xxh3.update(item.data, item.len);
        xxh64.update(item.data, item.len);
        xxh32.update(item.data, item.len);
        fed.insert(fed.end(), item.data, item.data + item.len);
        const auto restored = xxhash::streaming::Xxh3Hasher::from_bytes(xxh3.to_bytes(), engine);
        require(restored.has_value(), "a streaming state's byte form is refused");
        const xxhash::Hash128 whole_128 = xxhash::one_shot::xxh3_128(fed.data(), fed.size(), seed, engine);
        require(xxh3.digest_64() == xxhash::one_shot::xxh3_64(fed.data(), fed.size(), seed, engine) &&
                    restored->digest_64() == xxh3.digest_64(),
                "streamed XXH3-64 differs from the one-shot hash of what was fed");
        require(xxh3.digest_128().low == whole_128.low && xxh3.digest_128().high == whole_128.high,
                "streamed XXH3-128 differs from the one-shot hash of what was fed");
        require(xxh64.digest() == xxhash::classic::xxh64(fed.data(), fed.size(), seed, engine),
                "streamed XXH64 differs from the one-shot hash of what was fed");
        require(xxh32.digest() ==
                    xxhash::classic::xxh32(fed.data(), fed.size(), static_cast<std::uint32_t>(seed), engine),
                "streamed XXH32 differs from the one-shot hash of what was fed");
        xxh3 = *restored;
        note(out, "streamed", {fed.size(), xxh64.digest(), xxh32.digest()});
    }
    return out;
}

}  // namespace vantorq::fuzz
