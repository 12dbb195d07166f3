// A fresh compilation for symbol-table tests, and the error number a call ends with.
#pragma once

#include <functional>
#include <string>

#include "diag/diagnostics.h"
#include "driver/compilation.h"
#include "support/recording_host.h"

namespace vorax::testing {

struct SymbolFixture {
  RecordingHost host;
  Compilation c{host, CompileOptions{}};

  // Runs `action`; the number of the source error it reported, or 0 when it returned.
  int errorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const tokeninvalid&) {
      return host.errors.empty() ? -1 : host.errors.back().number;
    }
    return 0;
  }

  // A new entry of `kind` named `name`, entered at the current level.
  SymbolEntry& declare(const std::string& name, IdentKind kind, std::int32_t line = 1) {
    SymbolEntry& entry = c.symbols.newEntry();
    entry.name = name;
    entry.kind = kind;
    entry.declarationLine = line;
    c.symbols.enterAtCurrentLevel(entry);
    return entry;
  }
};

}  // namespace vorax::testing
