#include "symbols/symbol_table.h"

#include <string>

#include "diag/error_table.h"
#include "diag/short_text.h"
#include "driver/compilation.h"

namespace vorax {
namespace {

// Trees are ordered like length-prefixed strings: bytes compared unsigned from the first,
// and a name that is a prefix of another sorts first. std::string_view compares exactly so.
int compareNames(std::string_view a, std::string_view b) { return a.compare(b); }

// Descends one tree by name order; the entry with exactly this name or null.
SymbolEntry* descend(SymbolEntry* node, std::string_view name) {
  while (node != nullptr) {
    const int order = compareNames(name, node->name);
    if (order == 0) {
      return node;
    }
    node = order < 0 ? node->left : node->right;
  }
  return nullptr;
}

// Visits a tree left subtree, right subtree, node - without recursion, because names
// declared in sorted order make a tree as deep as it is large.
template <typename Visit>
void visitPostOrder(const SymbolEntry* root, Visit visit) {
  std::vector<const SymbolEntry*> path;
  const SymbolEntry* lastVisited = nullptr;
  const SymbolEntry* node = root;
  while (node != nullptr || !path.empty()) {
    if (node != nullptr) {
      path.push_back(node);
      node = node->left;
      continue;
    }
    const SymbolEntry* top = path.back();
    if (top->right != nullptr && top->right != lastVisited) {
      node = top->right;
    } else {
      visit(*top);
      lastVisited = top;
      path.pop_back();
    }
  }
}

// The five-character tag of an unused-identifier line, or null for kinds never listed.
const char* unusedTag(IdentKind kind) {
  switch (kind) {
    case IdentKind::Constant:
      return "CST: ";
    case IdentKind::FrameVariable:
      return "VAR: ";
    case IdentKind::Parameter:
      return "PRM: ";
    case IdentKind::Field:
      return "FLD: ";
    case IdentKind::Procedure:
    case IdentKind::InterruptProcedure:
      return "PRC: ";
    case IdentKind::Function:
      return "FUN: ";
    default:
      return nullptr;
  }
}

}  // namespace

SymbolTable::SymbolTable(Compilation& compilation) : compilation_(compilation) {}

SymbolTable::~SymbolTable() = default;

void SymbolTable::openScope() {
  if (scopeLevel_ + 1 >= kLevelCount) {
    compilation_.reportError(err::kNestingTooDeep);
  }
  ++scopeLevel_;
}

void SymbolTable::CloseScope() {
  if (scopeLevel_ < 0) {
    compilation_.reportError(err::kInternal);
  }
  ScopeStorage& level = levels_[static_cast<std::size_t>(scopeLevel_)];
  checkRoutineBodies(level.root);
  level.root = nullptr;
  level.types.clear();
  level.entries.clear();
  if (scopeLevel_ == 0) {
    types_ = PredefinedTypes{};  // they were level 0's descriptors
  }
  --scopeLevel_;
}

// The first routine in post-order whose body never came is the one the error names.
void SymbolTable::checkRoutineBodies(const SymbolEntry* root) {
  visitPostOrder(root, [this](const SymbolEntry& node) {
    if (node.isRoutine() && node.standardRoutine == 0 &&
        (node.routineState == RoutineState::Forward ||
         node.routineState == RoutineState::Interface)) {
      compilation_.diagnostics.reportErrorWithName(err::kForwardWithoutBody,
                                                   " ( " + node.name + " )");
    }
  });
}

SymbolEntry& SymbolTable::newEntry() { return newEntryAt(scopeLevel_); }

SymbolEntry& SymbolTable::newEntryAt(int level) {
  if (level < 0 || level > scopeLevel_) {
    compilation_.reportError(err::kInternal);
  }
  auto& entries = levels_[static_cast<std::size_t>(level)].entries;
  entries.push_back(std::make_unique<SymbolEntry>());
  return *entries.back();
}

TypeDescriptor& SymbolTable::newType(TypeKind kind, std::int32_t size) {
  if (scopeLevel_ < 0) {
    compilation_.reportError(err::kInternal);
  }
  auto& types = levels_[static_cast<std::size_t>(scopeLevel_)].types;
  types.push_back(std::make_unique<TypeDescriptor>());
  TypeDescriptor& type = *types.back();
  type.kind = kind;
  type.size = size;
  return type;
}

SymbolEntry*& SymbolTable::rootSlot(int level) {
  if (level < 0 || level >= kLevelCount) {
    compilation_.reportError(err::kInternal);
  }
  return levels_[static_cast<std::size_t>(level)].root;
}

void SymbolTable::EnterIdentifier(SymbolEntry*& slot, SymbolEntry& entry) {
  SymbolEntry** place = &slot;
  while (*place != nullptr) {
    const int order = compareNames(entry.name, (*place)->name);
    if (order == 0) {
      compilation_.reportError(err::kDuplicateIdentifier);
    }
    place = order < 0 ? &(*place)->left : &(*place)->right;
  }
  entry.left = nullptr;
  entry.right = nullptr;
  entry.inserted = true;
  *place = &entry;
}

SymbolEntry* SymbolTable::LookupIdentifier(KindMask mask) {
  return lookupName(compilation_.scanner.currentIdentifier(), mask);
}

SymbolEntry* SymbolTable::lookupName(std::string_view name, KindMask mask) {
  name = name.substr(0, kSymbolNameLength);
  // A field of the wrong kind in a WITH tree does not hide anything: the WITH stage just
  // gives up and the block levels are searched.
  for (int with = withCount_ - 1; with >= 0; --with) {
    SymbolEntry* found = descend(withScopes_[static_cast<std::size_t>(with)].root, name);
    if (found != nullptr) {
      if (mask.contains(found->kind)) {
        return found;
      }
      break;
    }
  }
  for (int level = scopeLevel_; level >= 0; --level) {
    SymbolEntry* found = descend(levels_[static_cast<std::size_t>(level)].root, name);
    if (found != nullptr) {
      if (!mask.contains(found->kind)) {
        return nullptr;
      }
      found->used = true;
      return found;
    }
  }
  return nullptr;
}

SymbolEntry* SymbolTable::searchWholeTree(SymbolEntry* root, IdentKind kind) const {
  return searchWholeTree(
      root, kind,
      std::string_view(compilation_.scanner.currentIdentifier()).substr(0, kSymbolNameLength));
}

SymbolEntry* SymbolTable::searchWholeTree(SymbolEntry* root, IdentKind kind,
                                          std::string_view name) {
  // Iterative in-order walk: the predefined records' field chains are right-linked lists
  // as deep as they are long, and a source may declare long field lists too.
  std::vector<SymbolEntry*> pending;
  SymbolEntry* node = root;
  while (node != nullptr || !pending.empty()) {
    while (node != nullptr) {
      pending.push_back(node);
      node = node->left;
    }
    node = pending.back();
    pending.pop_back();
    if (node->kind == kind && node->name == name) {
      return node;
    }
    node = node->right;
  }
  return nullptr;
}

SymbolEntry*& SymbolTable::openWithScope() {
  if (withCount_ >= kWithScopeCount) {
    compilation_.reportError(err::kNestingTooDeep);
  }
  WithStorage& scope = withScopes_[static_cast<std::size_t>(withCount_)];
  ++withCount_;
  return scope.root;
}

SymbolEntry& SymbolTable::newWithEntry() {
  if (withCount_ == 0) {
    compilation_.reportError(err::kInternal);
  }
  auto& entries = withScopes_[static_cast<std::size_t>(withCount_ - 1)].entries;
  entries.push_back(std::make_unique<SymbolEntry>());
  return *entries.back();
}

void SymbolTable::closeWithScope() {
  if (withCount_ == 0) {
    compilation_.reportError(err::kInternal);
  }
  --withCount_;
  WithStorage& scope = withScopes_[static_cast<std::size_t>(withCount_)];
  scope.root = nullptr;
  scope.entries.clear();
}

void SymbolTable::listUnusedIdentifiers() {
  if (!compilation_.directives.settings().unusedReportSwitch || scopeLevel_ < 0) {
    return;
  }
  listUnused(levels_[static_cast<std::size_t>(scopeLevel_)].root);
}

void SymbolTable::listUnused(const SymbolEntry* root) {
  visitPostOrder(root, [this](const SymbolEntry& node) {
    const char* tag = unusedTag(node.kind);
    if (tag != nullptr && !node.used && node.declarationLine != 0) {
      compilation_.diagnostics.writeWarning(";#UNUSED " + std::string(tag) + node.name + "." +
                                            std::to_string(node.declarationLine));
    }
  });
}

std::int32_t SymbolTable::currentDeclarationLine() const {
  // The count of all lines read so far, over every file, so that two declarations in
  // different include files never share a number (labels are built from it).
  return compilation_.reader.sourceLineCount();
}

}  // namespace vorax
