#include "base64/sse41/decode.hpp"

#include "base64/generic/decode_steps.hpp"

namespace vantorq::base64::decode::sse41 {
namespace {

struct Sse41 {};

// The SSSE3 loop; only the test that a block holds no invalid byte differs.
struct V : generic::Vec128<Sse41> {
    static bool all_zero(Reg a) { return _mm_testz_si128(a, a) != 0; }
};

}  // namespace

template <class Contract>
error::DecodeResult decode(const unsigned char* src, std::size_t len, unsigned char* dst) {
    return generic::decode_blocks<Contract, V, V>(src, len, dst);
}

template <class Contract>
DecodedPrefix decode_prefix(const unsigned char* src, std::size_t len, unsigned char* dst) {
    return generic::decode_prefix_blocks<Contract, V, V>(src, len, dst);
}

error::DecodeResult validate(const unsigned char* src, std::size_t len) {
    return generic::validate_blocks<StandardDecoder, V, V>(src, len);
}

template error::DecodeResult decode<StandardDecoder>(const unsigned char*, std::size_t, unsigned char*);
template error::DecodeResult decode<UrlSafeDecoder>(const unsigned char*, std::size_t, unsigned char*);
template error::DecodeResult decode<MixedDecoder>(const unsigned char*, std::size_t, unsigned char*);
template error::DecodeResult decode<ValidatedStandardDecoder>(const unsigned char*, std::size_t, unsigned char*);
template DecodedPrefix decode_prefix<StandardDecoder>(const unsigned char*, std::size_t, unsigned char*);
template DecodedPrefix decode_prefix<MixedDecoder>(const unsigned char*, std::size_t, unsigned char*);

}  // namespace vantorq::base64::decode::sse41
