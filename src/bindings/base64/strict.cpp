#include "bindings/python.hpp"

#include "bindings/base64/strict.hpp"

#include <cstring>

#include "base64/decode.hpp"
#include "base64/lengths.hpp"
#include "base64/scan.hpp"

namespace vantorq::bindings::base64::strict {
namespace {

namespace core = vantorq::base64;

// A bytes object of exactly `size` bytes filled by `fill(out)`, which reports whether the
// text was well formed; a malformed text drops the object.
template <typename Fill>
Outcome decode_exact_bytes(std::size_t size, Fill&& fill) {
    runtime::OwnedRef result(PyBytes_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(size)));
    if (!result) return Outcome::raised();
    auto* out = reinterpret_cast<unsigned char*>(PyBytes_AS_STRING(result.get()));
    if (!fill(out)) return Outcome::not_handled();
    return Outcome::decoded(std::move(result));
}

bool decode_whole_quanta(Text text, const Layout& layout, unsigned char* out, DecodeAlphabet alphabet) {
    return core::decode::decode_to_ptr_with_layout_mode(text.data(), text.size(), out, layout.padding, alphabet).ok();
}

// Whole quanta through the core, then the 2 or 3 symbols left; the unused low
// bits of the last symbol are not looked at.
bool decode_unpadded_to_ptr(Text text, unsigned char* out, DecodeAlphabet alphabet) {
    const std::size_t tail = text.size() % 4;
    const std::size_t whole = text.size() - tail;
    if (!core::decode::decode_to_ptr_with_layout_mode(text.data(), whole, out, 0, alphabet).ok()) return false;
    if (tail == 0) return true;
    const auto& table = core::decode_table(alphabet);
    const unsigned char* symbols = text.data() + whole;
    const std::uint8_t s0 = table[symbols[0]], s1 = table[symbols[1]];
    const std::uint8_t s2 = tail == 3 ? table[symbols[2]] : 0;
    if (s0 == core::INVALID_SYMBOL || s1 == core::INVALID_SYMBOL || s2 == core::INVALID_SYMBOL) return false;
    out += whole / 4 * 3;
    out[0] = static_cast<unsigned char>(s0 << 2 | s1 >> 4);
    if (tail == 3) out[1] = static_cast<unsigned char>(s1 << 4 | s2 >> 2);
    return true;
}

}  // namespace

std::optional<Layout> strict_layout(Text text) {
    const std::size_t length = text.size();
    if (length % 4 != 0) return std::nullopt;
    std::size_t padding = 0;
    if (length != 0 && text[length - 1] == core::PAD) padding = text[length - 2] == core::PAD ? 2 : 1;
    return Layout{padding, core::decoded_length(length, padding)};
}

std::optional<Layout> unpadded_layout(Text text) {
    const std::size_t tail = text.size() % 4;
    if (tail == 1) return std::nullopt;
    return Layout{0, text.size() / 4 * 3 + (tail == 0 ? 0 : tail - 1)};
}

Outcome decode_strict(Text text, DecodeAlphabet alphabet, bool detach) {
    const auto layout = strict_layout(text);
    if (!layout) return Outcome::not_handled();
    return decode_exact_bytes(layout->size, [&](unsigned char* out) {
        return runtime::run_maybe_detached(detach, [&] { return decode_whole_quanta(text, *layout, out, alphabet); });
    });
}

Outcome decode_strict_into(Text text, Destination destination, DecodeAlphabet alphabet) {
    const auto layout = strict_layout(text);
    if (!layout) return Outcome::not_handled();
    if (layout->size > destination.size()) return Outcome::too_small(layout->size);
    if (!decode_whole_quanta(text, *layout, destination.data(), alphabet)) return Outcome::not_handled();
    return Outcome::written(layout->size);
}

Outcome decode_unpadded(Text text, DecodeAlphabet alphabet, bool detach) {
    const auto layout = unpadded_layout(text);
    if (!layout) return Outcome::not_handled();
    return decode_exact_bytes(layout->size, [&](unsigned char* out) {
        return runtime::run_maybe_detached(detach, [&] { return decode_unpadded_to_ptr(text, out, alphabet); });
    });
}

Outcome decode_unpadded_into(Text text, Destination destination, DecodeAlphabet alphabet) {
    const auto layout = unpadded_layout(text);
    if (!layout) return Outcome::not_handled();
    if (layout->size > destination.size()) return Outcome::too_small(layout->size);
    if (!decode_unpadded_to_ptr(text, destination.data(), alphabet)) return Outcome::not_handled();
    return Outcome::written(layout->size);
}

Translation translate_altchars(Text text, const compatibility::Altchars& pair) {
    const unsigned char first = pair.c62, second = pair.c63;
    const auto* data = text.data();
    const std::size_t length = text.size();
    if (std::memchr(data, first, length) == nullptr && std::memchr(data, second, length) == nullptr) return {};
    Translation translation{true, backend::try_allocate_bytes(length)};
    if (!translation.bytes) return translation;
    std::memcpy(translation.bytes.get(), data, length);
    core::scan::decode_byte_kernels().translate(translation.bytes.get(), length, {first, '+', second, '/'});
    return translation;
}

}  // namespace vantorq::bindings::base64::strict
