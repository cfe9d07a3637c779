#pragma once

#include "bindings/python.hpp"

#include "bindings/schema.hpp"

namespace vantorq::bindings::schema::base64 {

inline constexpr Binding<4> B64ENCODE = {"b64encode", {"s", "altchars", "padded", "wrapcol"}, 2, 1};
inline constexpr Binding<5> B64ENCODE_INTO = {"b64encode_into", {"s", "output", "altchars", "padded", "wrapcol"}, 3, 2};
inline constexpr Binding<1> STANDARD_B64ENCODE = {"standard_b64encode", {"s"}, 1, 1};
inline constexpr Binding<2> STANDARD_B64ENCODE_INTO = {"standard_b64encode_into", {"s", "output"}, 2, 2};
inline constexpr Binding<2> URLSAFE_B64ENCODE = {"urlsafe_b64encode", {"s", "padded"}, 1, 1};
inline constexpr Binding<3> URLSAFE_B64ENCODE_INTO = {"urlsafe_b64encode_into", {"s", "output", "padded"}, 2, 2};

inline constexpr Binding<6> B64DECODE = {
    "b64decode", {"s", "altchars", "validate", "padded", "ignorechars", "canonical"}, 3, 1};
inline constexpr Binding<7> B64DECODE_INTO = {
    "b64decode_into", {"s", "output", "altchars", "validate", "padded", "ignorechars", "canonical"}, 4, 2};
inline constexpr Binding<1> STANDARD_B64DECODE = {"standard_b64decode", {"s"}, 1, 1};
inline constexpr Binding<2> STANDARD_B64DECODE_INTO = {"standard_b64decode_into", {"s", "output"}, 2, 2};
inline constexpr Binding<2> URLSAFE_B64DECODE = {"urlsafe_b64decode", {"s", "padded"}, 1, 1};
inline constexpr Binding<3> URLSAFE_B64DECODE_INTO = {"urlsafe_b64decode_into", {"s", "output", "padded"}, 2, 2};

// The list forms: every parameter positional or keyword.
inline constexpr Binding<2> B64ENCODE_BATCH = {"b64encode_batch", {"items", "altchars"}, 2, 1};
inline constexpr Binding<3> B64ENCODE_BATCH_INTO = {"b64encode_batch_into", {"items", "outputs", "altchars"}, 3, 2};
inline constexpr Binding<3> B64DECODE_BATCH = {"b64decode_batch", {"items", "altchars", "validate"}, 3, 1};
inline constexpr Binding<4> B64DECODE_BATCH_INTO = {
    "b64decode_batch_into", {"items", "outputs", "altchars", "validate"}, 4, 2};
inline constexpr Binding<1> list(const char* name) { return {name, {"items"}, 1, 1}; }
inline constexpr Binding<2> list_into(const char* name) { return {name, {"items", "outputs"}, 2, 2}; }
inline constexpr Binding<1> STANDARD_B64ENCODE_BATCH = list("standard_b64encode_batch");
inline constexpr Binding<2> STANDARD_B64ENCODE_BATCH_INTO = list_into("standard_b64encode_batch_into");
inline constexpr Binding<1> STANDARD_B64DECODE_BATCH = list("standard_b64decode_batch");
inline constexpr Binding<2> STANDARD_B64DECODE_BATCH_INTO = list_into("standard_b64decode_batch_into");
inline constexpr Binding<1> URLSAFE_B64ENCODE_BATCH = list("urlsafe_b64encode_batch");
inline constexpr Binding<2> URLSAFE_B64ENCODE_BATCH_INTO = list_into("urlsafe_b64encode_batch_into");
inline constexpr Binding<1> URLSAFE_B64DECODE_BATCH = list("urlsafe_b64decode_batch");
inline constexpr Binding<2> URLSAFE_B64DECODE_BATCH_INTO = list_into("urlsafe_b64decode_batch_into");

}  // namespace vantorq::bindings::schema::base64
