#pragma once
// The module functions' shared argument parser, what it reads (a function's
// signature), and the option conversions every family uses. Failures return
// nothing with a Python exception set.

#include "bindings/python.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "bindings/runtime.hpp"

namespace vantorq::bindings::arguments {

// Slot i holds parameter i as a borrowed reference, or null when not given.
template <std::size_t N>
using Arguments = std::array<PyObject*, N>;

// One parameter, declared as the signature shows it: "name" or "name=default".
struct Parameter {
    std::string_view name;
    std::string_view shown_default;  // empty: required
    // What interpreters before 3.15 show instead, where their base64 module had another default.
    std::string_view shown_default_before_3_15;

    constexpr Parameter(const char* declared, const char* before_3_15 = "") : shown_default_before_3_15(before_3_15) {
        const std::string_view text(declared);
        const auto equals = text.find('=');
        name = text.substr(0, equals);
        if (equals != std::string_view::npos) shown_default = text.substr(equals + 1);
    }
};

// Argument errors are worded as the interpreter words them: for a module
// function built by Argument Clinic, or for a method written in Python.
enum class Wording { Function, Method };

template <std::size_t N>
struct Signature {
    const char* name;  // as messages show it
    std::array<Parameter, N> parameters;
    std::size_t positional;  // parameters before the `*`; the rest are keyword-only
    Wording wording;
    std::size_t required = 0;  // leading parameters without a default

    constexpr Signature(const char* name, std::array<Parameter, N> parameters, std::size_t positional = N,
                        Wording wording = Wording::Function)
        : name(name), parameters(parameters), positional(positional), wording(wording) {
        while (required < N && parameters[required].shown_default.empty()) ++required;
    }
};

namespace detail {
void too_many_positional(const char* name, Wording wording, std::size_t positional, std::size_t required,
                         Py_ssize_t nargs);
// Index of the parameter named `keyword` (searching the unfilled ones first), or -1.
Py_ssize_t find_parameter(const Parameter* parameters, std::size_t count, std::size_t nargs, PyObject* keyword);
void unexpected_keyword(const char* name, PyObject* keyword);
void multiple_values(const char* name, std::string_view parameter);
void missing_required(const char* name, Wording wording, std::string_view parameter);

// Binds the positional arguments, then each keyword that
// `for_each_keyword(bind)` hands to `bind(name, value)` (it stops when that
// returns false), then checks that every required parameter is filled.
template <std::size_t N, typename ForEachKeyword>
std::optional<Arguments<N>> bind(const Signature<N>& signature, PyObject* const* positional, Py_ssize_t nargs,
                                 ForEachKeyword&& for_each_keyword) {
    constexpr auto NOT_BOUND = std::nullopt;
    Arguments<N> slots{};
    const auto given = static_cast<std::size_t>(nargs);
    if (given > signature.positional) {
        too_many_positional(signature.name, signature.wording, signature.positional, signature.required, nargs);
        return NOT_BOUND;
    }
    for (std::size_t i = 0; i < given; ++i) slots[i] = positional[i];
    const bool keywords_bound = for_each_keyword([&](PyObject* keyword, PyObject* value) {
        const Py_ssize_t index = find_parameter(signature.parameters.data(), N, given, keyword);
        if (index < 0) {
            unexpected_keyword(signature.name, keyword);
            return false;
        }
        if (slots[index] != nullptr) {
            multiple_values(signature.name, signature.parameters[index].name);
            return false;
        }
        slots[index] = value;
        return true;
    });
    if (!keywords_bound) return NOT_BOUND;
    for (std::size_t i = 0; i < signature.required; ++i) {
        if (slots[i] == nullptr) {
            missing_required(signature.name, signature.wording, signature.parameters[i].name);
            return NOT_BOUND;
        }
    }
    return slots;
}

// Keywords, and every call that fails.
template <std::size_t N>
[[gnu::noinline]] std::optional<Arguments<N>> parse_general(const Signature<N>& signature, PyObject* const* args,
                                                            Py_ssize_t nargs, PyObject* kwnames) {
    return bind(signature, args, nargs, [&](auto&& bind_keyword) {
        const Py_ssize_t keywords = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
        for (Py_ssize_t k = 0; k < keywords; ++k)
            if (!bind_keyword(PyTuple_GET_ITEM(kwnames, k), args[nargs + k])) return false;
        return true;
    });
}
}  // namespace detail

// Fast-call arguments. Positional calls, the common case, are parsed inline:
// for a short input the call into the general parser costs about as much as
// the hash.
template <std::size_t N>
[[gnu::always_inline]] inline std::optional<Arguments<N>> parse_raw_arguments(const Signature<N>& signature,
                                                                             PyObject* const* args, Py_ssize_t nargs,
                                                                             PyObject* kwnames) {
    const auto given = static_cast<std::size_t>(nargs);
    if (kwnames != nullptr || given < signature.required || given > signature.positional)
        return detail::parse_general(signature, args, nargs, kwnames);
    Arguments<N> slots{};
    for (std::size_t i = 0; i < given; ++i) slots[i] = args[i];
    return slots;
}

// A tuple and a dict of keywords, as a constructor receives them.
template <std::size_t N>
std::optional<Arguments<N>> parse_tuple_and_dict(const Signature<N>& signature, PyObject* args, PyObject* kwargs) {
    return detail::bind(signature, PySequence_Fast_ITEMS(args), PyTuple_GET_SIZE(args), [&](auto&& bind_keyword) {
        if (kwargs == nullptr) return true;
        runtime::CriticalSection section(kwargs);
        Py_ssize_t position = 0;
        PyObject* keyword = nullptr;
        PyObject* value = nullptr;
        while (PyDict_Next(kwargs, &position, &keyword, &value))
            if (!bind_keyword(keyword, value)) return false;
        return true;
    });
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

// The hasher classes' 32-bit seed: any object with __index__, and the
// OverflowError wording of the interpreter's own integer conversions.
bool read_index_seed_u32(PyObject* value, std::uint32_t& seed);

// Any object with __index__, reduced modulo 2**64: the seed as the xxhash
// package reads it (a 32-bit hash then takes the low half).
bool read_wrapping_seed(PyObject* value, std::uint64_t& seed);

}  // namespace vantorq::bindings::arguments
