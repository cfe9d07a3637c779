#include "backend/state_bytes.hpp"

#include "backend/invariant.hpp"
#include "xxhash/classic.hpp"

namespace vantorq::backend::state_bytes {

std::uint64_t checksum(const unsigned char* data, std::size_t len) { return xxhash::classic::xxh64(data, len, 0); }

void Writer::seal() {
    put(checksum(out_.data(), used_));
    if (used_ != out_.size()) backend::fail_invariant("a serialised hasher state does not fill its layout");
}

std::optional<Reader> Reader::open(std::span<const unsigned char> form, Kind kind, std::size_t size) {
    if (form.size() != size || form[0] != static_cast<unsigned char>(kind) || form[1] != LAYOUT_VERSION)
        return std::nullopt;
    const std::size_t body = size - CHECKSUM_SIZE;
    std::uint64_t stored;
    std::memcpy(&stored, form.data() + body, sizeof stored);
    if (stored != checksum(form.data(), body)) return std::nullopt;
    return Reader(form);
}

}  // namespace vantorq::backend::state_bytes
