#include "bindings/python.hpp"

#include "bindings/schema.hpp"

namespace vantorq::bindings::schema {

std::string docstring(const char* name, std::span<const Parameter> parameters, std::size_t positional,
                      const char* body, bool before_3_15) {
    std::string text = name;
    text += "($module, /";
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const Parameter& parameter = parameters[i];
        if (i == positional) text += ", *";
        text += ", ";
        text += parameter.name;
        const bool other_default = before_3_15 && !parameter.shown_default_before_3_15.empty();
        const auto shown = other_default ? parameter.shown_default_before_3_15 : parameter.shown_default;
        if (!shown.empty()) {
            text += '=';
            text += shown;
        }
    }
    text += ")\n--\n\n";
    return text += body;
}

}  // namespace vantorq::bindings::schema
