#include "base64/ssse3/encode.hpp"

#include "base64/generic/encode_lines.hpp"
#include "base64/generic/encode_steps.hpp"
#include "base64/generic/outputs.hpp"

namespace vantorq::base64::encode::ssse3 {
namespace {

struct Ssse3 {};
using V = generic::Vec128<Ssse3>;
using Constants = generic::EncodeConstants<V>;

// Every load reads 4 bytes past the 12 its step consumes, so a step needs 16
// source bytes; four steps at once need 52.
template <class Out>
std::size_t encode_loop(const unsigned char* src, std::size_t len, Out& out, const OffsetTable& offsets) {
    const Constants k(offsets);
    std::size_t i = 0;
    for (; len - i >= 52; i += 48) {
        const auto a = generic::encode_12(src + i, k);
        const auto b = generic::encode_12(src + i + 12, k);
        const auto c = generic::encode_12(src + i + 24, k);
        const auto d = generic::encode_12(src + i + 36, k);
        out.template put<V>(a);
        out.template put<V>(b);
        out.template put<V>(c);
        out.template put<V>(d);
    }
    return generic::encode_12_steps(src, len, i, out, k);
}

const OffsetTable& builtin_offsets(bool url) { return url ? URL_SAFE_OFFSETS : STANDARD_OFFSETS; }

}  // namespace

std::size_t encode_custom(const unsigned char* src, std::size_t len, unsigned char* dst, const OffsetTable& offsets) {
    generic::DirectOutput<Ssse3> out{dst};
    return encode_loop(src, len, out, offsets);
}

std::size_t encode(const unsigned char* src, std::size_t len, unsigned char* dst, bool url) {
    return encode_custom(src, len, dst, builtin_offsets(url));
}

std::size_t encode_wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                  const OffsetTable& offsets) {
    const std::size_t lines = generic::encode_lines(src, len, cursor, Constants(offsets));
    generic::WrappedOutput<Ssse3> out{cursor};
    return lines + encode_loop(src + lines, len - lines, out, offsets);
}

std::size_t encode_wrapped(const unsigned char* src, std::size_t len, WrapCursor& cursor, bool url) {
    return encode_wrapped_custom(src, len, cursor, builtin_offsets(url));
}

}  // namespace vantorq::base64::encode::ssse3
