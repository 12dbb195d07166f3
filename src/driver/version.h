// The product's own texts: shown in the about box and written into every signature.
#pragma once

#include <string_view>

namespace vorax {

inline constexpr std::string_view kProductName = "VORAX";
inline constexpr std::string_view kVersionText = "Ver 1.00";
inline constexpr std::string_view kProductDate = "2026/12/07";

}  // namespace vorax
