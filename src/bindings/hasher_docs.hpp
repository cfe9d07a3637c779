#pragma once
// The docstrings of the methods every hasher class has, from the typed stubs.

#include "bindings/docstrings.hpp"
#include "bindings/hasher_class.hpp"

namespace vantorq::bindings::hasher_class {

inline constexpr auto UPDATE_DOC = with_text_signature("update($self, data)", docstrings::HASHER_UPDATE_DOC);
inline constexpr auto DIGEST_DOC = with_text_signature("digest($self)", docstrings::HASHER_DIGEST_DOC);
inline constexpr auto HEXDIGEST_DOC = with_text_signature("hexdigest($self)", docstrings::HASHER_HEXDIGEST_DOC);
inline constexpr auto COPY_DOC = with_text_signature("copy($self)", docstrings::HASHER_COPY_DOC);

inline constexpr MethodDocs BASIC_METHOD_DOCS = {
    .update = UPDATE_DOC.data(),
    .digest = DIGEST_DOC.data(),
    .hexdigest = HEXDIGEST_DOC.data(),
    .copy = COPY_DOC.data(),
    .digest_size = docstrings::HASHER_DIGEST_SIZE_DOC,
    .block_size = docstrings::HASHER_BLOCK_SIZE_DOC,
    .name = docstrings::HASHER_NAME_DOC,
};

}  // namespace vantorq::bindings::hasher_class
