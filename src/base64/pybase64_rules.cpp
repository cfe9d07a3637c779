#include "base64/pybase64_rules.hpp"

#include "backend/bytes.hpp"

namespace vantorq::base64::pybase64 {
namespace {

// A pair the native decoders read as pybase64 does: two different bytes,
// neither "=" nor one of the 62 common symbols. pybase64 reads the others
// differently depending on the route a text takes through it; the rules
// below give them one reading.
bool native_pair(AltcharPair pair) {
    const auto common = [](unsigned char byte) { return STANDARD_DECODE_TABLE[byte] < 62; };
    return pair.c62 != pair.c63 && pair.c62 != PAD && pair.c63 != PAD && !common(pair.c62) && !common(pair.c63);
}

// 6-bit values packed into bytes, four values to three bytes.
class Packer {
public:
    explicit Packer(unsigned char* out) : out_(out) {}

    void put(std::uint8_t value) {
        bits_ = bits_ << 6 | value;
        if (++values_ % 4 != 0) return;
        out_[written_++] = static_cast<unsigned char>(bits_ >> 16);
        out_[written_++] = static_cast<unsigned char>(bits_ >> 8);
        out_[written_++] = static_cast<unsigned char>(bits_);
        bits_ = 0;
    }
    // Symbols of the unfinished quantum: 0 to 3.
    std::size_t partial() const { return values_ % 4; }
    bool empty() const { return values_ == 0; }
    // Writes the bytes of an unfinished quantum of 2 or 3 symbols; false when
    // the bits that reach no byte are not all zero.
    bool finish() {
        switch (partial()) {
            case 2:
                out_[written_++] = static_cast<unsigned char>(bits_ >> 4);
                return (bits_ & 0x0F) == 0;
            case 3:
                out_[written_++] = static_cast<unsigned char>(bits_ >> 10);
                out_[written_++] = static_cast<unsigned char>(bits_ >> 2);
                return (bits_ & 0x03) == 0;
            default:
                return true;
        }
    }
    std::size_t written() const { return written_; }

private:
    unsigned char* out_;
    std::uint32_t bits_ = 0;
    std::size_t values_ = 0;
    std::size_t written_ = 0;
};

}  // namespace

Decoder::Decoder(const Options& options, const runtime_dispatch::RuntimeBackend& kernels)
    : altchars_(options.altchars),
      rules_(!options.validate                                                    ? Rules::Lenient
             : options.padded && (!options.ignorechars || options.ignorechars->empty()) ? Rules::Strict
                                                                                   : Rules::Detailed),
      padded_(options.padded),
      canonical_(options.canonical),
      legacy_symbols_(rules_ == Rules::Lenient || (rules_ == Rules::Strict && !options.ignorechars)),
      pad_ignored_(false) {
    const AltcharPair pair = altchars_.value_or(AltcharPair{'+', '/'});
    // The native decoders decode a symbol that is also an ignorechar as a
    // symbol everywhere; pybase64 skips it after padding.
    bool symbol_ignored = false;
    if (options.ignorechars) {
        for (const unsigned char byte : *options.ignorechars) {
            ignored_[byte >> 6] |= std::uint64_t{1} << (byte & 63);
            symbol_ignored |= STANDARD_DECODE_TABLE[byte] < 62 || byte == pair.c62 || byte == pair.c63;
        }
        pad_ignored_ = ignored(PAD);
    }
    if (symbol_ignored || !native_pair(pair)) return;
    DecoderOptions native;
    native.altchars = altchars_;
    native.validate = options.validate;
    native.padded = options.padded;
    native.canonical = options.canonical;
    native.ignorechars = options.ignorechars;
    // Strict without padding reads the pair's alphabet alone, as a request
    // with empty ignorechars does: a "+" or "/" the pair replaced is a fault.
    if (rules_ == Rules::Detailed && !native.ignorechars) native.ignorechars = Text{};
    native.decodes_past_padding = true;
    native_.emplace(native, kernels);
}

DecodeOutcome Decoder::decode(Text text, Sink& sink) const {
    if (native_) {
        const DecodeOutcome outcome = native_->decode(text, sink);
        // Anything the native decoders refuse gets its text from the rules.
        if (outcome.status != DecodeStatus::Rejected && outcome.status != DecodeStatus::NotHandled) return outcome;
    }
    return decode_by_rules(text, sink);
}

Warning Decoder::warning(Text text) const {
    if (!altchars_ || !legacy_symbols_) return Warning::None;
    for (const unsigned char replaced : {'+', '/'}) {
        if (replaced == altchars_->c62 || replaced == altchars_->c63) continue;
        if (backend::find_byte(text.data(), text.size(), replaced) != nullptr)
            return rules_ == Rules::Lenient ? Warning::Future : Warning::Deprecation;
    }
    return Warning::None;
}

DecodeTable Decoder::rules_table() const {
    DecodeTable table;
    table.fill(INVALID_SYMBOL);
    for (std::size_t value = 0; value < COMMON_SYMBOLS.size(); ++value)
        table[static_cast<unsigned char>(COMMON_SYMBOLS[value])] = static_cast<std::uint8_t>(value);
    if (!altchars_ || legacy_symbols_) {
        table['+'] = 62;
        table['/'] = 63;
    }
    if (altchars_) {
        // The first byte wins where both are the same.
        table[altchars_->c63] = 63;
        table[altchars_->c62] = 62;
    }
    return table;
}

DecodeOutcome Decoder::decode_by_rules(Text text, Sink& sink) const {
    const DecodeTable table = rules_table();
    // Every symbol's 6 bits, whatever else the text holds.
    unsigned char* out = sink.reserve(text.size() / 4 * 3 + 2);
    if (out == nullptr) return DecodeOutcome::sink_failed();
    Packer packer(out);
    const auto finished = [&](bool padding_complete) {
        const std::size_t partial = packer.partial();
        if (partial == 1) return DecodeOutcome::rejected(messages::INVALID_LENGTH);
        if (partial != 0 && padded_ && !padding_complete) return DecodeOutcome::rejected(messages::INCORRECT_PADDING);
        if (!packer.finish() && canonical_) return DecodeOutcome::rejected(messages::NON_ZERO_PADDING_BITS);
        return DecodeOutcome::written(packer.written());
    };

    switch (rules_) {
        case Rules::Lenient: {
            // Padding counts when it follows the last symbol.
            std::size_t pads = 0;
            for (const unsigned char byte : text) {
                const std::uint8_t value = table[byte];
                if (is_symbol_value(value)) {
                    packer.put(value);
                    pads = 0;
                } else if (byte == PAD) {
                    ++pads;
                }
            }
            return finished(pads + packer.partial() >= 4);
        }
        case Rules::Strict: {
            // Whole quanta, "=" only as the padding of the last one.
            std::size_t length = text.size();
            if (length % 4 != 0) return DecodeOutcome::rejected(messages::NON_BASE64_DIGIT);
            if (length != 0 && text[length - 1] == PAD && !is_symbol_value(table[PAD]))
                length -= text[length - 2] == PAD ? 2 : 1;
            for (std::size_t i = 0; i < length; ++i) {
                const std::uint8_t value = table[text[i]];
                if (!is_symbol_value(value)) return DecodeOutcome::rejected(messages::NON_BASE64_DIGIT);
                packer.put(value);
            }
            return finished(true);
        }
        case Rules::Detailed:
            break;
    }

    // "=" is padding unless the pair made it a symbol.
    const bool pad_symbol = is_symbol_value(table[PAD]);
    const auto is_pad = [&](unsigned char byte) { return byte == PAD && !pad_symbol; };
    std::size_t pads = 0;             // "=" of the padding begun
    bool complete = false;            // the padding finished its quantum
    bool ignored_in_padding = false;  // an ignored byte stood inside it
    // With "=" among the ignorechars, a "=" that may end a quantum begins
    // padding only if more "=" complete it: then the ignorechar symbols in
    // between are skipped; else that "=" was ignored, and they decode.
    const unsigned char* tentative = nullptr;
    std::size_t tentative_pads = 0;
    bool tentative_complete = false;
    const auto take_back = [&](const unsigned char* end) {
        for (const unsigned char* p = tentative; p != end; ++p)
            if (is_symbol_value(table[*p])) packer.put(table[*p]);
    };
    const auto after_padding = [&] {
        return DecodeOutcome::rejected(complete ? messages::EXCESS_DATA : messages::DISCONTINUOUS_PADDING);
    };
    for (const unsigned char& byte : text) {
        const std::uint8_t value = table[byte];
        if (pads != 0) {
            if (is_pad(byte)) {
                if (complete) return DecodeOutcome::rejected(messages::EXCESS_PADDING);
                complete = packer.partial() + ++pads == 4;
            } else if (ignored(byte)) {
                ignored_in_padding = true;
            } else {
                return after_padding();
            }
            continue;
        }
        if (tentative != nullptr) {
            if (is_pad(byte)) {
                if (!tentative_complete) tentative_complete = packer.partial() + ++tentative_pads == 4;
                continue;
            }
            if (ignored(byte)) continue;
            if (!is_symbol_value(value)) return DecodeOutcome::rejected(messages::NON_BASE64_DIGIT);
            if (!tentative_complete) take_back(&byte);
            tentative = nullptr;
            packer.put(value);
            continue;
        }
        if (is_symbol_value(value)) {
            packer.put(value);
            continue;
        }
        if (is_pad(byte)) {
            const std::size_t partial = packer.partial();
            if (pad_ignored_) {
                if (!packer.empty() && partial >= 2) {
                    tentative = &byte;
                    tentative_pads = 1;
                    tentative_complete = partial == 3;
                }
                continue;
            }
            if (packer.empty()) return DecodeOutcome::rejected(messages::LEADING_PADDING);
            if (partial == 0) return DecodeOutcome::rejected(messages::EXCESS_PADDING);
            if (partial == 1) return DecodeOutcome::rejected(messages::NON_BASE64_DIGIT);
            if (!padded_) return DecodeOutcome::rejected(messages::PADDING_NOT_ALLOWED);
            pads = 1;
            complete = partial == 3;
            continue;
        }
        if (ignored(byte)) continue;
        return DecodeOutcome::rejected(messages::NON_BASE64_DIGIT);
    }
    if (tentative != nullptr && !tentative_complete) take_back(text.data() + text.size());
    if (pads != 0 && !complete)
        return DecodeOutcome::rejected(ignored_in_padding ? messages::DISCONTINUOUS_PADDING
                                                          : messages::INCORRECT_PADDING);
    return finished(complete || (tentative != nullptr && tentative_complete));
}

}  // namespace vantorq::base64::pybase64
