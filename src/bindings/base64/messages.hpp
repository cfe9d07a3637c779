#pragma once
// What the Base64 functions say when a call fails or warns, beyond the
// parser's and the interpreter's own messages: each worded as the running
// interpreter's base64 and binascii modules word it.

namespace vantorq::bindings::base64::messages {

// A destination bytearray, as the too-small message names it.
inline constexpr char OUTPUT[] = "Base64 output";
inline constexpr char OUTPUT_TOO_LARGE[] = "Base64 output is too large";

// binascii.Error texts known without asking the interpreter.
inline constexpr char NON_BASE64_DIGIT[] = "Non-base64 digit found";  // validate=True before 3.11
inline constexpr char INCORRECT_PADDING[] = "Incorrect padding";      // configured options before 3.15

// altchars and the alphabets built from them.
inline constexpr char INVALID_ALTCHARS[] = "invalid altchars: %R";  // from 3.15; before, AssertionError(repr)
inline constexpr char ALTCHARS_LENGTH_BEFORE_3_15[] =
    "altchars must be a bytes-like object or ASCII string of length 2";
inline constexpr char ALPHABET_LENGTH[] = "alphabet must have length 64";
inline constexpr char MAKETRANS_LENGTH[] = "maketrans arguments must have same length";
inline constexpr char NOT_BYTES_LIKE_OR_ASCII[] = "argument should be a bytes-like object or ASCII string, not %R";

// wrapcol, as PyNumber_AsSsize_t's neighbours word it.
inline constexpr char NEGATIVE_WRAPCOL[] = "Cannot convert negative int";
inline constexpr char WRAPCOL_TOO_LARGE[] = "Python int too large for C size_t";

// The list forms' destinations.
inline constexpr char OUTPUT_NOT_BYTEARRAY[] = "outputs[%zu] must be a bytearray";
inline constexpr char OUTPUTS_REPEAT[] = "outputs must contain distinct bytearrays";
inline constexpr char LENGTHS_DIFFER[] = "items and outputs must have the same length";

// The legacy-character warnings: the character, then the altchars' repr.
inline constexpr char LEGACY_URL_SAFE[] =
    "invalid character '%c' in URL-safe Base64 data will be discarded in future Python versions";
inline constexpr char LEGACY_ALTCHARS_LENIENT[] =
    "invalid character '%c' in Base64 data with altchars=%R and validate=False "
    "will be discarded in future Python versions";
inline constexpr char LEGACY_ALTCHARS_STRICT[] =
    "invalid character '%c' in Base64 data with altchars=%R and validate=True "
    "will be an error in future Python versions";

// The pybase64 drop-in's texts, as that package words them (its decode
// errors are the core's: base64/pybase64_rules.hpp).
namespace pybase64 {
inline constexpr char NOT_BYTES_LIKE[] = "a bytes-like object is required, not '%.200s'";
inline constexpr char ALTCHARS_LENGTH[] = "len(altchars) != 2";
inline constexpr char NEGATIVE_WRAPCOL[] = "wrapcol must be >= 0";
inline constexpr char VALIDATE_WITH_IGNORECHARS[] = "validate must be True or unspecified when ignorechars is specified";
// The warnings for "+" and "/" that altchars replaced, with the altchars' repr.
inline constexpr char LEGACY_LENIENT[] =
    "invalid characters '+' or '/' in Base64 data with altchars=%R and validate=False "
    "will be discarded in future versions";
inline constexpr char LEGACY_STRICT[] =
    "invalid characters '+' or '/' in Base64 data with altchars=%R and validate=True "
    "will be an error in future versions";
}  // namespace pybase64

}  // namespace vantorq::bindings::base64::messages
