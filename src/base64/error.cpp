#include "base64/error.hpp"

namespace vantorq::base64::error {

std::string debug_text(const Base64Error& error) {
    if (const auto* small = std::get_if<OutputTooSmall>(&error)) {
        return "OutputTooSmall { required: " + std::to_string(small->required) +
               ", provided: " + std::to_string(small->provided) + " }";
    }
    return "InvalidInput";
}

}  // namespace vantorq::base64::error
