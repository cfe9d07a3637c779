#pragma once
// Base64 decoding as the pybase64 package (1.5.1) decides it, on every
// interpreter alike: which texts it accepts, what they decode to, the error
// text of each text it rejects and the warning it gives for "+" and "/" that
// an altchars pair replaced.
//
// Its accepted texts and their bytes are those of the newest interpreter's
// base64 module (decoding past completed padding included), with two
// exceptions: strict decoding without padding refuses "+" and "/" that the
// pair replaced, and a pair that repeats a byte or holds "=", a letter or a
// digit is read as the rules below read it. Its error texts are its own.
// Three sets of rules give them:
//   lenient   validate false: bytes outside the alphabet are skipped, and
//             padding is judged once, after the last symbol;
//   strict    validate true, padded, no ignorechars (or empty ones): one text
//             for every fault;
//   detailed  ignorechars, or strict without padding: each fault named by
//             the first byte that shows it.
// The native decoders take every text where their rules and these agree; a
// scalar decoder of these rules settles the rest, so no request is left to
// the interpreter.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base64/alphabet.hpp"
#include "base64/decoder.hpp"
#include "base64/outcome.hpp"
#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64::pybase64 {

// pybase64's binascii.Error texts.
namespace messages {
inline constexpr char NON_BASE64_DIGIT[] = "Non-base64 digit found";
inline constexpr char INCORRECT_PADDING[] = "Incorrect padding";
inline constexpr char INVALID_LENGTH[] = "Invalid number of data characters";
inline constexpr char LEADING_PADDING[] = "Leading padding";
inline constexpr char EXCESS_PADDING[] = "Excess padding";
inline constexpr char DISCONTINUOUS_PADDING[] = "Discontinuous padding";
inline constexpr char EXCESS_DATA[] = "Excess data after padding";
inline constexpr char PADDING_NOT_ALLOWED[] = "Padding not allowed";
inline constexpr char NON_ZERO_PADDING_BITS[] = "Non-zero padding bits";
}  // namespace messages

struct Options {
    std::optional<AltcharPair> altchars;
    bool validate = false;  // effective: given true, or ignorechars given
    bool padded = true;
    bool canonical = false;
    // Given: the bytes that may stand outside the alphabet. Read only while
    // the Decoder is built.
    std::optional<Text> ignorechars;
};

enum class Rules : std::uint8_t { Lenient, Strict, Detailed };

// What pybase64 warns of after decoding a text with altchars that holds a
// "+" or "/" the pair replaced, where its rules still read them as 62 and 63.
enum class Warning : std::uint8_t {
    None,
    Future,       // lenient: such bytes will be discarded
    Deprecation,  // strict: such bytes will be errors
};

class Decoder {
public:
    explicit Decoder(const Options& options,
                     const runtime_dispatch::RuntimeBackend& kernels = runtime_dispatch::selected_backend());

    Rules rules() const { return rules_; }

    // Written, Rejected with pybase64's text, OutOfMemory or SinkFailed:
    // never not handled.
    DecodeOutcome decode(Text text, Sink& sink) const;

    // The warning for a text this decoder accepted.
    Warning warning(Text text) const;

private:
    // The scalar decoder of the rules, for every text.
    DecodeOutcome decode_by_rules(Text text, Sink& sink) const;
    DecodeTable rules_table() const;
    bool ignored(unsigned char byte) const { return (ignored_[byte >> 6] >> (byte & 63)) & 1; }

    std::optional<AltcharPair> altchars_;
    Rules rules_;
    bool padded_;
    bool canonical_;
    // "+" and "/" the pair replaced still decode (lenient, and strict without ignorechars).
    bool legacy_symbols_;
    bool pad_ignored_;  // "=" is among the ignorechars
    std::array<std::uint64_t, 4> ignored_{};
    // The native decoders, where their rules agree with these.
    std::optional<base64::Decoder> native_;
};

}  // namespace vantorq::base64::pybase64
