#include "xxhash/classic.hpp"

#include <algorithm>
#include <type_traits>

namespace vantorq::xxhash::classic {
void mix_xxh32_blocks_scalar(Xxh32Lanes& lanes, const unsigned char* p, std::size_t blocks) {
    Algorithm<Width32>::mix_blocks(lanes, p, blocks);
}

void mix_xxh64_blocks_scalar(Xxh64Lanes& lanes, const unsigned char* p, std::size_t blocks) {
    Algorithm<Width64>::mix_blocks(lanes, p, blocks);
}

namespace {

// Below this many blocks a width mixes inline: the call would cost more than
// the vector loop saves. XXH64's loop saves about two cycles a block but its
// lanes take some 25 cycles longer to reach the register and come back; from
// Python on Zen 4 it ties the inline loop at 8 blocks (256 B: 1.10-1.14x the
// xxhash package either way) and wins from there (512 B 1.14 -> 1.22x); at 4
// blocks it lost (128 B 1.05-1.11x -> 0.95-1.02x).
constexpr std::size_t XXH32_KERNEL_MIN_BLOCKS = 4;
constexpr std::size_t XXH64_KERNEL_MIN_BLOCKS = 8;

template <class Width>
[[gnu::always_inline]] inline void mix_blocks(const long_inputs::LongEngine& engine,
                                              typename Algorithm<Width>::Lanes& lanes, const unsigned char* p,
                                              std::size_t blocks) {
    if constexpr (std::is_same_v<Width, Width32>) {
        if (blocks >= XXH32_KERNEL_MIN_BLOCKS) return engine.xxh32_blocks(lanes, p, blocks);
    } else {
        if (blocks >= XXH64_KERNEL_MIN_BLOCKS) return engine.xxh64_blocks(lanes, p, blocks);
    }
    Algorithm<Width>::mix_blocks(lanes, p, blocks);
}

template <class Width>
[[gnu::always_inline]] inline typename Width::Word hash(const unsigned char* data, std::size_t len,
                                                        typename Width::Word seed,
                                                        const long_inputs::LongEngine& engine) {
    using Steps = Algorithm<Width>;
    typename Steps::Lanes lanes = Steps::start(seed);
    const std::size_t blocks = len / Steps::BLOCK_SIZE;
    mix_blocks<Width>(engine, lanes, data, blocks);
    return Steps::finish(lanes, seed, len, data + blocks * Steps::BLOCK_SIZE);
}

}  // namespace

std::uint32_t xxh32(const unsigned char* data, std::size_t len, std::uint32_t seed,
                    const long_inputs::LongEngine& engine) {
    return hash<Width32>(data, len, seed, engine);
}

std::uint64_t xxh64(const unsigned char* data, std::size_t len, std::uint64_t seed,
                    const long_inputs::LongEngine& engine) {
    return hash<Width64>(data, len, seed, engine);
}

void xxh32_items(std::span<const ByteView> items, std::uint32_t seed, unsigned char* out,
                 const long_inputs::LongEngine& engine) {
    for (const ByteView& item : items) {
        store_u32(out, hash<Width32>(item.data, item.len, seed, engine));
        out += sizeof(std::uint32_t);
    }
}

void xxh64_items(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out,
                 const long_inputs::LongEngine& engine) {
    for (const ByteView& item : items) {
        store_u64(out, hash<Width64>(item.data, item.len, seed, engine));
        out += sizeof(std::uint64_t);
    }
}

template <class Width>
void Hasher<Width>::update(const unsigned char* data, std::size_t len) {
    total_len_ += len;
    pending_.feed(
        data, len, [this](const unsigned char* block) { Steps::mix_blocks(lanes_, block, 1); },
        [this](const unsigned char* blocks, std::size_t byte_count) {
            mix_blocks<Width>(*engine_, lanes_, blocks, byte_count / BLOCK_SIZE);
        });
}

template <class Width>
typename Hasher<Width>::Serialized Hasher<Width>::to_bytes() const {
    Serialized form{};
    state_bytes::Writer writer(form, Width::KIND);
    writer.put(seed_);
    writer.put(total_len_);
    for (const Word lane : lanes_) writer.put(lane);
    state_bytes::put_pending(writer, pending_);
    writer.seal();
    return form;
}

template <class Width>
std::optional<Hasher<Width>> Hasher<Width>::from_bytes(std::span<const unsigned char> form,
                                                       const long_inputs::LongEngine& engine) {
    auto reader = state_bytes::Reader::open(form, Width::KIND, SERIALIZED_SIZE);
    if (!reader) return std::nullopt;
    Hasher hasher(reader->template take<Word>(), engine);
    hasher.total_len_ = reader->template take<std::uint64_t>();
    for (Word& lane : hasher.lanes_) lane = reader->template take<Word>();
    if (!state_bytes::take_pending(*reader, hasher.total_len_, hasher.pending_)) return std::nullopt;
    // Lanes move only once a block is complete.
    if (hasher.total_len_ < BLOCK_SIZE && hasher.lanes_ != Steps::start(hasher.seed_)) return std::nullopt;
    return hasher;
}

template class Hasher<Width32>;
template class Hasher<Width64>;

}  // namespace vantorq::xxhash::classic
