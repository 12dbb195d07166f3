// Assembles and links the files VORAX writes (a program and its units) into one image.
#pragma once

#include <string>
#include <vector>

#include "sim/asm_expr.h"
#include "sim/file_access.h"
#include "sim/program_image.h"

namespace vorax::sim {

class Assembler {
 public:
  // `external` resolves the names the host runtime defines; they are used for every symbol
  // the files leave undefined.
  Assembler(CpuModel cpu, SymbolResolver external, FileReader reader);
  ~Assembler();

  // Assembles the files in order (the first is the program). Returns false when any error
  // was found; errors() then holds one "file:line: error: text" line per problem.
  bool assemble(const std::vector<std::string>& files);

  const std::vector<std::string>& errors() const { return errors_; }
  ProgramImage& image() { return *image_; }
  std::unique_ptr<ProgramImage> takeImage() { return std::move(image_); }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::vector<std::string> errors_;
  std::unique_ptr<ProgramImage> image_;
};

}  // namespace vorax::sim
