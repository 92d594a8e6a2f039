#include "cli_checks.h"

#include <string>

namespace tarvex_tool {

CLI::Validator positive() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            double value = 0;
            if (!CLI::detail::lexical_cast(text, value)) return "'" + text + "' is not a number";
            if (!(value > 0)) return "must be greater than 0, not " + text;
            return "";
        },
        "> 0", "positive");
}

}  // namespace tarvex_tool
