#include "bindings/python.hpp"

#include "bindings/base64/decode.hpp"

#include <utility>

#include "base64/decoder.hpp"
#include "bindings/arguments.hpp"
#include "bindings/base64/policy.hpp"
#include "bindings/objects.hpp"

namespace vantorq::bindings::base64::decode {

using buffer::BytesLike;

buffer::Acquired acquire_decode_data(PyObject* object) {
    if (PyUnicode_CheckExact(object)) {
        // Exact ASCII text is read in place: its UTF-8 form is its ASCII form.
        Py_ssize_t size = 0;
        const char* utf8 = PyUnicode_AsUTF8AndSize(object, &size);
        if (utf8 != nullptr && size == PyUnicode_GetLength(object))
            return BytesLike(buffer::AsciiText{utf8, static_cast<std::size_t>(size)});
        PyErr_Clear();  // lone surrogates have no UTF-8 form: not ASCII either
        // Other text is encoded below, which raises the ValueError with the
        // encoding error chained, as the interpreter chains it.
    }
    return buffer::decode_data_object(object, "s");
}

PyObject* b64decode(const arguments::Arguments<6>& parsed) {
    const auto [s, altchars, validate, padded, ignorechars, canonical] = parsed;
    const auto input = acquire_decode_data(s);
    if (!input) return nullptr;
    auto policy = policy::PreparedPolicy::prepare({altchars, validate, padded, ignorechars, canonical});
    if (!policy) return nullptr;
    return policy::PreparedDecoder(std::move(*policy)).decode_allocating(*input);
}

PyObject* b64decode_into(const arguments::Arguments<7>& parsed) {
    const auto [s, output, altchars, validate, padded, ignorechars, canonical] = parsed;
    if (!objects::check_bytearray(output)) return nullptr;
    const auto input = acquire_decode_data(s);
    if (!input) return nullptr;
    auto policy = policy::PreparedPolicy::prepare({altchars, validate, padded, ignorechars, canonical});
    if (!policy) return nullptr;
    return policy::PreparedDecoder(std::move(*policy)).decode_into(output, *input);
}

PyObject* standard_b64decode(const arguments::Arguments<1>& parsed) {
    const auto input = acquire_decode_data(parsed[0]);
    if (!input) return nullptr;
    return policy::PreparedDecoder(policy::PreparedPolicy::standard()).decode_allocating(*input);
}

PyObject* standard_b64decode_into(const arguments::Arguments<2>& parsed) {
    const auto [s, output] = parsed;
    if (!objects::check_bytearray(output)) return nullptr;
    const auto input = acquire_decode_data(s);
    if (!input) return nullptr;
    return policy::PreparedDecoder(policy::PreparedPolicy::standard()).decode_into(output, *input);
}

PyObject* urlsafe_b64decode(const arguments::Arguments<2>& parsed) {
    const auto [s, padded] = parsed;
    const auto input = acquire_decode_data(s);
    if (!input) return nullptr;
    auto policy = policy::PreparedPolicy::prepare_url_safe(padded);
    if (!policy) return nullptr;
    return policy::PreparedDecoder(std::move(*policy)).decode_allocating(*input);
}

PyObject* urlsafe_b64decode_into(const arguments::Arguments<3>& parsed) {
    const auto [s, output, padded] = parsed;
    if (!objects::check_bytearray(output)) return nullptr;
    const auto input = acquire_decode_data(s);
    if (!input) return nullptr;
    auto policy = policy::PreparedPolicy::prepare_url_safe(padded);
    if (!policy) return nullptr;
    return policy::PreparedDecoder(std::move(*policy)).decode_into(output, *input);
}

}  // namespace vantorq::bindings::base64::decode
