// The names of memory places that may lie at the address of another place: variables
// placed by ABSOLUTE (at an address, or over another variable) and EXTERNAL variables that
// another file defines. Every other place the code names is storage of its own: frame
// slots, the compiler's labels, the variables it laid out itself. The window rules and the
// statement passes ask this before they take two places for two.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace vorax {

class SharedPlaces {
 public:
  void add(std::string_view name) { names_.emplace(name); }
  // Whether symbol `name` (without a displacement) is one of the shared places.
  [[nodiscard]] bool contains(std::string_view name) const { return names_.contains(name); }
  [[nodiscard]] bool empty() const { return names_.empty(); }

 private:
  std::set<std::string, std::less<>> names_;
};

}  // namespace vorax
