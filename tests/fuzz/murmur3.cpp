// MurmurHash3 on the tier's kernel table: each variant's incremental hasher,
// fed the message in fuzzer-chosen pieces, against the one-shot hash of the
// whole; and the pieces as messages of their own, hashed several at a time
// (x64_128's by the tier's routine for many messages, up to eight at once),
// against the one-shot hash of each.
// Input: seed (4 bytes), piece count, piece lengths (2 bytes each), message.

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "murmur3/digest.hpp"
#include "murmur3/incremental.hpp"
#include "murmur3/interleaved.hpp"
#include "murmur3/kernels.hpp"
#include "tier.hpp"

namespace vantorq::fuzz {
namespace {

using murmur3::Kernels;

// The one-shot hash of a variant on a table.
template <auto HASH>
auto one_shot_on(const Kernels& table) {
    return [&table](const unsigned char* data, std::size_t len, std::uint32_t seed) {
        return HASH(data, len, seed, table);
    };
}

template <class Hasher, class OneShot>
void hash_in_pieces(std::string& out, const char* label, const ExactBlock& message,
                    const std::vector<std::size_t>& pieces, std::uint32_t seed, OneShot one_shot,
                    const Kernels& table) {
    Hasher hasher(seed, table);
    std::size_t fed = 0;
    for (const std::size_t piece : pieces) {
        // Each piece in a block of its own, so that a read past it is caught.
        const std::size_t length = std::min(piece, message.size() - fed);
        const ExactBlock copy(message.first(message.size()).subspan(fed, length));
        hasher.update(copy.data(), length);
        fed += length;
        require(murmur3::digest::hex(hasher.finish()) ==
                    murmur3::digest::hex(one_shot(message.data(), fed, seed)),
                "the hasher fed in pieces differs from the one-shot hash of the same bytes");
    }
    const auto whole = one_shot(message.data(), message.size(), seed);
    hasher.update(message.data() + fed, message.size() - fed);
    require(murmur3::digest::hex(hasher.finish()) == murmur3::digest::hex(whole),
            "the hasher differs from the one-shot hash of the whole message");
    const auto hex = murmur3::digest::hex(whole);
    note(out, label, {}, {reinterpret_cast<const unsigned char*>(hex.data()), hex.size()});
}

template <class Variant>
void interleaved_by_four(std::span<const murmur3::interleaved::Message> messages, std::uint32_t seed,
                         typename Variant::Result* out, const Kernels& table) {
    murmur3::interleaved::hash_each<Variant, 4>(messages, seed, out, table);
}

template <class Variant, class OneShot, class Together>
void hash_pieces_together(const ExactBlock& message, const std::vector<std::size_t>& pieces, std::uint32_t seed,
                          OneShot one_shot, Together hash_together, const Kernels& table) {
    // Each piece in a block of its own, so that a read past it is caught.
    std::vector<ExactBlock> copies;
    std::vector<murmur3::interleaved::Message> messages;
    std::size_t start = 0;
    for (const std::size_t piece : pieces) {
        const std::size_t length = std::min(piece, message.size() - start);
        copies.emplace_back(message.first(message.size()).subspan(start, length));
        start += length;
    }
    for (const ExactBlock& copy : copies) messages.emplace_back(copy.data(), copy.size());
    std::vector<typename Variant::Result> together(messages.size());
    hash_together(messages, seed, together.data(), table);
    for (std::size_t i = 0; i < messages.size(); ++i)
        require(together[i] == one_shot(messages[i].data(), messages[i].size(), seed),
                "a message hashed with others differs from its one-shot hash");
}

}  // namespace

std::string transcript(Input input, const backend::Processor& tier) {
    FuzzedDataProvider provider(input.data(), input.size());
    const auto seed = provider.ConsumeIntegral<std::uint32_t>();
    std::vector<std::size_t> pieces(provider.ConsumeIntegralInRange<std::size_t>(0, 8));
    for (std::size_t& piece : pieces) piece = provider.ConsumeIntegral<std::uint16_t>();
    const auto bytes = provider.ConsumeRemainingBytes<unsigned char>();
    const ExactBlock message({bytes.data(), bytes.size()});

    const Kernels table = murmur3::for_processor(tier);
    std::string out;
    using namespace murmur3;
    hash_in_pieces<incremental::Murmur3X86Hasher32>(out, "x86_32", message, pieces, seed,
                                                    one_shot_on<x86_32::hash_with>(table), table);
    hash_in_pieces<incremental::Murmur3X86Hasher128>(out, "x86_128", message, pieces, seed,
                                                     one_shot_on<x86_128::hash_with>(table), table);
    hash_in_pieces<incremental::Murmur3X64Hasher128>(out, "x64_128", message, pieces, seed,
                                                     one_shot_on<x64_128::hash_with>(table), table);
    hash_pieces_together<variants::X86_32>(message, pieces, seed, one_shot_on<x86_32::hash_with>(table),
                                           interleaved_by_four<variants::X86_32>, table);
    hash_pieces_together<variants::X86_128>(message, pieces, seed, one_shot_on<x86_128::hash_with>(table),
                                            interleaved_by_four<variants::X86_128>, table);
    hash_pieces_together<variants::X64_128>(message, pieces, seed, one_shot_on<x64_128::hash_with>(table),
                                            table.x64_128_many.hash_each, table);
    return out;
}

}  // namespace vantorq::fuzz
