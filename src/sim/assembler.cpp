#include "sim/assembler.h"

#include <map>
#include <set>

#include "sim/asm_encoder.h"
#include "sim/asm_lexer.h"

namespace vorax::sim {

namespace {

constexpr int kMaxIncludeDepth = 16;
constexpr size_t kMaxErrors = 50;
constexpr int kMaxEquateDepth = 500;  // equates defined through equates, nested

enum class LineKind { Empty, Instruction, Data, Org, Equ, End };

struct SymbolDef {
  bool isEquate = false;
  int64_t value = 0;  // address of a label
  ExprPtr expr;       // value of an equate
  int64_t here = 0;   // "$" inside the equate
  size_t scope = 0;
  SourcePosition position;
  bool evaluating = false;
};

struct LaidLine {
  AsmLine line;
  LineKind kind = LineKind::Empty;
  size_t scope = 0;
  uint32_t address = 0;
  int length = 0;
  int fileIndex = 0;
  Instruction ins;
  int dataSize = 0;  // 1, 2 or 4 for db, dw, dl
  std::vector<std::string> dataItems;
};

// Bytes of a quoted text, or false when the item is not quoted.
bool quotedBytes(const std::string& item, std::string& bytes) {
  if (item.size() < 2 || (item.front() != '\'' && item.front() != '"') ||
      item.back() != item.front()) {
    return false;
  }
  bytes = item.substr(1, item.size() - 2);
  return true;
}

}  // namespace

struct Assembler::Impl {
  CpuModel cpu;
  SymbolResolver external;
  FileReader reader;
  std::vector<std::string>* errors = nullptr;
  std::vector<LaidLine> lines;
  std::map<std::string, SymbolDef> globals;
  std::map<std::pair<size_t, std::string>, SymbolDef> locals;
  bool finalPass = false;
  int evaluationDepth = 0;

  void error(const SourcePosition& position, const std::string& text) {
    if (errors->size() < kMaxErrors) {
      errors->push_back(formatPosition(position) + ": error: " + text);
    }
  }

  // --- reading files -------------------------------------------------------------------

  void readFile(const std::string& name, int fileIndex, int depth,
                const SourcePosition& includedFrom) {
    auto text = reader(name);
    if (!text) {
      if (depth == 0) {
        errors->push_back(name + ": error: can't read the file");
      } else {
        error(includedFrom, "can't read the include file \"" + name + "\"");
      }
      return;
    }
    size_t start = 0;
    int lineNumber = 0;
    while (start < text->size()) {
      size_t end = text->find('\n', start);
      if (end == std::string::npos) end = text->size();
      ++lineNumber;
      SourcePosition position{name, lineNumber};
      AsmLine line = parseAsmLine(text->substr(start, end - start), position);
      start = end + 1;
      if (line.mnemonic == "include") {
        if (depth >= kMaxIncludeDepth) {
          error(position, "include files nested too deeply");
          continue;
        }
        readFile(resolveIncludeName(name, line.operands), fileIndex, depth + 1, position);
        continue;
      }
      bool isEnd = line.mnemonic == "end";
      LaidLine laid;
      laid.line = std::move(line);
      laid.fileIndex = fileIndex;
      lines.push_back(std::move(laid));
      if (isEnd) break;
    }
  }

  // --- symbols ---------------------------------------------------------------------------

  SymbolDef* findSymbol(const std::string& name, size_t scope) {
    if (isLocalLabel(name)) {
      auto found = locals.find({scope, name});
      return found == locals.end() ? nullptr : &found->second;
    }
    auto found = globals.find(name);
    return found == globals.end() ? nullptr : &found->second;
  }

  std::optional<int64_t> symbolValue(const std::string& name, size_t scope) {
    SymbolDef* def = findSymbol(name, scope);
    if (def == nullptr) {
      if (!finalPass) return std::nullopt;
      if (!isLocalLabel(name)) {
        if (auto value = external(name)) return value;
      }
      throw AsmError("undefined symbol \"" + name + "\"");
    }
    if (!def->isEquate) return def->value;
    if (def->evaluating) throw AsmError("equate \"" + name + "\" refers to itself");
    if (evaluationDepth >= kMaxEquateDepth) throw AsmError("equates nested too deeply");
    def->evaluating = true;
    ++evaluationDepth;
    std::optional<int64_t> value;
    try {
      value = evaluateIn(*def->expr, def->here, def->scope);
    } catch (...) {
      def->evaluating = false;
      --evaluationDepth;
      throw;
    }
    def->evaluating = false;
    --evaluationDepth;
    return value;
  }

  std::optional<int64_t> evaluateIn(const ExprNode& expr, int64_t here, size_t scope) {
    return evaluate(expr, here,
                    [this, scope](const std::string& name) { return symbolValue(name, scope); });
  }

  bool definedExternally(const ExprNode& expr, size_t scope) {
    std::vector<std::string> names;
    collectSymbols(expr, names);
    for (const auto& name : names) {
      if (findSymbol(name, scope) == nullptr) return true;
    }
    return false;
  }

  void define(const std::string& name, SymbolDef def) {
    SymbolDef* existing = findSymbol(name, def.scope);
    if (existing != nullptr) {
      error(def.position, "duplicate label \"" + name + "\" (first defined at " +
                              formatPosition(existing->position) + ")");
      return;
    }
    if (isLocalLabel(name)) {
      locals.emplace(std::make_pair(def.scope, name), std::move(def));
    } else {
      globals.emplace(name, std::move(def));
    }
  }

  // --- pass 1: layout --------------------------------------------------------------------

  int dataLength(LaidLine& laid) {
    int total = 0;
    for (const auto& item : laid.dataItems) {
      std::string bytes;
      if (laid.dataSize == 1 && quotedBytes(item, bytes)) {
        total += static_cast<int>(bytes.size());
      } else {
        if (item.empty()) throw AsmError("empty data item");
        parseExpression(item);  // syntax check now, value later
        total += laid.dataSize;
      }
    }
    return total;
  }

  void layOut() {
    uint64_t location = 0;
    size_t scope = 0;
    int lastFile = -1;
    for (auto& laid : lines) {
      const AsmLine& line = laid.line;
      if (laid.fileIndex != lastFile) {
        lastFile = laid.fileIndex;
        ++scope;  // every file starts a scope of its own
      }
      try {
        const std::string& m = line.mnemonic;
        if (!line.label.empty() && !isValidLabel(line.label)) {
          throw AsmError("bad label \"" + line.label + "\"");
        }
        if (m == "equ") {
          laid.kind = LineKind::Equ;
          if (line.label.empty()) throw AsmError("equ without a name");
          SymbolDef def;
          def.isEquate = true;
          def.expr = parseExpression(line.operands);
          def.here = static_cast<int64_t>(location);
          def.scope = scope;
          def.position = line.position;
          define(line.label, std::move(def));
          continue;
        }
        if (m == "org") {
          laid.kind = LineKind::Org;
          auto value =
              evaluateIn(*parseExpression(line.operands), static_cast<int64_t>(location), scope);
          if (!value) throw AsmError("org needs a value known at this point");
          if (*value < 0 || *value > addressMask(cpu)) throw AsmError("org outside memory");
          location = static_cast<uint64_t>(*value);
        }
        laid.address = static_cast<uint32_t>(location);
        laid.scope = scope;
        if (!line.label.empty()) {
          if (!isLocalLabel(line.label)) {
            ++scope;
            laid.scope = scope;
          }
          SymbolDef def;
          def.value = static_cast<int64_t>(location);
          def.scope = scope;
          def.position = line.position;
          define(line.label, std::move(def));
        }
        if (m.empty() || m == "org") continue;
        if (m == "end") {
          laid.kind = LineKind::End;
          continue;
        }
        if (m == "db" || m == "dw" || m == "dl") {
          laid.kind = LineKind::Data;
          laid.dataSize = m == "db" ? 1 : m == "dw" ? 2 : 4;
          laid.dataItems = splitOperands(line.operands);
          if (laid.dataItems.empty()) throw AsmError(m + " without data");
          laid.length = dataLength(laid);
          if (laid.dataSize > 1 && (location & 1) != 0) {
            throw AsmError(m + " at an odd address");
          }
        } else {
          Instruction ins;
          if (!buildInstruction(m, splitOperands(line.operands), cpu, ins)) {
            throw AsmError("unknown mnemonic \"" + m + "\"");
          }
          if ((location & 1) != 0) throw AsmError("instruction at an odd address");
          ins.address = static_cast<uint32_t>(location);
          ins.position = line.position;
          ins.text = line.text;
          KnownValues known;
          if (ins.src.expr) known.src = evaluateIn(*ins.src.expr, ins.address, scope);
          if (ins.dst.expr) known.dst = evaluateIn(*ins.dst.expr, ins.address, scope);
          ins.length = encodedLength(ins, cpu, known);
          laid.length = ins.length;
          laid.kind = LineKind::Instruction;
          laid.ins = std::move(ins);
        }
        location += static_cast<uint64_t>(laid.length);
        if (location > uint64_t{addressMask(cpu)} + 1) {
          throw AsmError("code runs past the end of the address space");
        }
      } catch (const AsmError& e) {
        error(line.position, e.what());
        laid.kind = LineKind::Empty;
      }
    }
  }

  // --- pass 2: values and bytes ----------------------------------------------------------

  // Places the bytes of one line; layOut keeps every line inside the address space.
  void emitBytes(ProgramImage& image, uint32_t address, const std::string& bytes,
                 const SourcePosition& position) {
    if (bytes.empty()) return;
    const uint32_t end = address + static_cast<uint32_t>(bytes.size());
    std::map<uint32_t, uint32_t>& placed = image.placedBytes;
    auto next = placed.upper_bound(address);
    if (next != placed.begin() && std::prev(next)->second > address) {
      error(position, "overlaps bytes already placed at h'" + hexDigits(address, 6) + "'");
      return;
    }
    if (next != placed.end() && next->first < end) {
      error(position, "overlaps bytes already placed at h'" + hexDigits(next->first, 6) + "'");
      return;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
      image.memory->write8(address + static_cast<uint32_t>(i), static_cast<uint8_t>(bytes[i]));
    }
    uint32_t start = address;
    if (next != placed.begin() && std::prev(next)->second == address) {
      start = std::prev(next)->first;
    }
    uint32_t stop = end;
    if (next != placed.end() && next->first == end) {
      stop = next->second;
      placed.erase(next);
    }
    placed[start] = stop;
  }

  std::string dataBytes(const LaidLine& laid) {
    std::string bytes;
    for (const auto& item : laid.dataItems) {
      std::string text;
      if (laid.dataSize == 1 && quotedBytes(item, text)) {
        bytes += text;
        continue;
      }
      int64_t value = *evaluateIn(*parseExpression(item), laid.address, laid.scope);
      int64_t low = laid.dataSize == 1 ? -128 : laid.dataSize == 2 ? -32768 : -2147483648LL;
      int64_t high = laid.dataSize == 1 ? 255 : laid.dataSize == 2 ? 65535 : 4294967295LL;
      if (value < low || value > high) {
        throw AsmError("data value out of range: " + std::to_string(value));
      }
      for (int i = laid.dataSize - 1; i >= 0; --i) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
      }
    }
    return bytes;
  }

  void link(ProgramImage& image) {
    finalPass = true;
    bool vectorSet = false;
    for (auto& laid : lines) {
      try {
        if (laid.kind != LineKind::Data && laid.kind != LineKind::Instruction) continue;
        if (!vectorSet && laid.fileIndex == 0) {
          image.vectorAddress = laid.address;
          vectorSet = true;
        }
        if (laid.kind == LineKind::Data) {
          emitBytes(image, laid.address, dataBytes(laid), laid.line.position);
          continue;
        }
        Instruction& ins = laid.ins;
        bool far = false;
        for (Operand* operand : {&ins.src, &ins.dst}) {
          if (!operand->expr) continue;
          far = far || definedExternally(*operand->expr, laid.scope);
          operand->value = *evaluateIn(*operand->expr, ins.address, laid.scope);
        }
        checkLinkedInstruction(ins, cpu, far);
        emitBytes(image, ins.address, std::string(static_cast<size_t>(ins.length), '\0'),
                  laid.line.position);
        image.instructionAt[ins.address] = image.instructions.size();
        image.instructions.push_back(ins);
      } catch (const AsmError& e) {
        error(laid.line.position, e.what());
      }
    }
    image.hasCodeAtZero = !image.placedBytes.empty() && image.placedBytes.begin()->first == 0;
    // Equates are checked too, so an equate naming an undefined symbol is reported.
    for (auto& [name, def] : globals) {
      try {
        image.globalSymbols[name] = *symbolValue(name, def.scope);
      } catch (const AsmError& e) {
        error(def.position, e.what());
      }
    }
  }
};

Assembler::Assembler(CpuModel cpu, SymbolResolver external, FileReader reader)
    : impl_(std::make_unique<Impl>()), image_(std::make_unique<ProgramImage>(cpu)) {
  impl_->cpu = cpu;
  impl_->external = std::move(external);
  impl_->reader = std::move(reader);
  impl_->errors = &errors_;
}

Assembler::~Assembler() = default;

bool Assembler::assemble(const std::vector<std::string>& files) {
  for (size_t i = 0; i < files.size(); ++i) {
    impl_->readFile(files[i], static_cast<int>(i), 0, SourcePosition{files[i], 0});
  }
  if (!errors_.empty()) return false;
  impl_->layOut();
  if (!errors_.empty()) return false;
  impl_->link(*image_);
  return errors_.empty();
}

}  // namespace vorax::sim
