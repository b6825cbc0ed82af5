// A minimal JSON text builder for the simulator's report.
#pragma once

#include <string>

namespace tav {

// The string as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);
// A number as JSON: integers without a fraction, others with up to 6 significant
// decimals; non-finite values as null.
std::string JsonNumber(double value);

}  // namespace tav
