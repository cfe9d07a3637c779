#include "base64/ssse3/decode.hpp"

#include "base64/generic/decode_steps.hpp"

namespace vantorq::base64::decode::ssse3 {
namespace {

struct Ssse3 {};
using V = generic::Vec128<Ssse3>;

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

}  // namespace vantorq::base64::decode::ssse3
