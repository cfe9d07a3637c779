#pragma once
// The module functions' shared argument parser and the option conversions
// every family uses. Failures return nothing with a Python exception set.

#include "bindings/python.hpp"

#include <array>
#include <cstdint>
#include <optional>

#include "bindings/schema.hpp"

namespace vantorq::bindings::arguments {

// Slot i holds parameter i as a borrowed reference, or null when not given.
template <std::size_t N>
using RawArguments = std::array<PyObject*, N>;

namespace detail {
bool too_many_positional(const char* name, std::size_t positional, Py_ssize_t nargs);
// Index of the parameter named `keyword` (searching the unfilled ones first), or -1.
Py_ssize_t find_parameter(const std::string_view* parameters, std::size_t count, std::size_t nargs,
                          PyObject* keyword);
bool unexpected_keyword(const char* name, PyObject* keyword);
bool multiple_values(const char* name, std::string_view parameter);
bool missing_required(const char* name, std::string_view parameter);

// Keywords, and every call that fails.
template <std::size_t N>
[[gnu::noinline]] std::optional<RawArguments<N>> parse_general(const schema::Binding<N>& binding, PyObject* const* args,
                                                               Py_ssize_t nargs, PyObject* kwnames) {
    RawArguments<N> slots{};
    const auto given = static_cast<std::size_t>(nargs);
    if (given > binding.positional) {
        detail::too_many_positional(binding.name, binding.positional, nargs);
        return std::nullopt;
    }
    for (std::size_t i = 0; i < given; ++i) slots[i] = args[i];
    const Py_ssize_t keywords = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
    for (Py_ssize_t k = 0; k < keywords; ++k) {
        PyObject* keyword = PyTuple_GET_ITEM(kwnames, k);
        const Py_ssize_t index = detail::find_parameter(binding.parameters.data(), N, given, keyword);
        if (index < 0) {
            detail::unexpected_keyword(binding.name, keyword);
            return std::nullopt;
        }
        if (slots[index] != nullptr) {
            detail::multiple_values(binding.name, binding.parameters[index]);
            return std::nullopt;
        }
        slots[index] = args[nargs + k];
    }
    for (std::size_t i = 0; i < binding.required; ++i) {
        if (slots[i] == nullptr) {
            detail::missing_required(binding.name, binding.parameters[i]);
            return std::nullopt;
        }
    }
    return slots;
}
}  // namespace detail

// Positional calls, the common case, are parsed inline: for a short input
// the call into the general parser costs about as much as the hash.
template <std::size_t N>
[[gnu::always_inline]] inline std::optional<RawArguments<N>> parse_raw_arguments(const schema::Binding<N>& binding,
                                                                                PyObject* const* args,
                                                                                Py_ssize_t nargs, PyObject* kwnames) {
    const auto given = static_cast<std::size_t>(nargs);
    if (kwnames != nullptr || given < binding.required || given > binding.positional)
        return detail::parse_general(binding, args, nargs, kwnames);
    RawArguments<N> slots{};
    for (std::size_t i = 0; i < given; ++i) slots[i] = args[i];
    return slots;
}

// An empty slot gives the default; True and False/None are read without a
// call; anything else through its __bool__, whose error passes unchanged.
std::optional<bool> read_flag(PyObject* value, bool default_value);

// Seeds are written to `seed` and success returned, rather than returned
// in an optional: on the hot path GCC merged the optional's two sources
// through the stack in pieces that the next full-width load could not take
// over from, a stall of a fifth of a short call.

// Unsigned 64-bit seed; an empty slot leaves `seed` at 0. The interpreter's
// own TypeError and OverflowError pass unchanged.
bool convert_seed_u64(PyObject* value, std::uint64_t& seed);
[[gnu::always_inline]] inline bool read_seed_u64(PyObject* value, std::uint64_t& seed) {
    seed = 0;
    return value == nullptr || convert_seed_u64(value, seed);
}

// As read_seed_u64, limited to 32 bits.
bool convert_seed_u32(PyObject* value, std::uint32_t& seed);
[[gnu::always_inline]] inline bool read_seed_u32(PyObject* value, std::uint32_t& seed) {
    seed = 0;
    return value == nullptr || convert_seed_u32(value, seed);
}

}  // namespace vantorq::bindings::arguments
