#pragma once
// A decoder's sink that gives exactly the room asked for, in a block of its
// own, so that a write past the capacity a decoder promised is caught.

#include <optional>

#include "base64/decoder.hpp"
#include "tier.hpp"

namespace vantorq::fuzz {

class ExactSink final : public base64::Sink {
public:
    explicit ExactSink(bool detached) { runs_detached_ = detached; }

    unsigned char* reserve(std::size_t capacity) override { return block_.emplace(capacity).data(); }

    // The first `count` bytes of the last room given.
    std::span<const unsigned char> written(std::size_t count) const {
        require(block_ && count <= block_->size(), "a decoder reports more bytes than it reserved");
        return block_->first(count);
    }

private:
    std::optional<ExactBlock> block_;
};

}  // namespace vantorq::fuzz
