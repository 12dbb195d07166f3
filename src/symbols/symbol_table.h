// The identifier table: one binary search tree per scope level (0 predefined, 1 the
// program or unit, one more per routine body) and a stack of WITH trees searched first.
// Every entry and type descriptor is owned by a scope level (or a WITH scope) and is
// released when that level closes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "symbols/predefined_types.h"
#include "symbols/symbol_entry.h"
#include "symbols/type_descriptor.h"

namespace vorax {

class Compilation;

class SymbolTable {
 public:
  static constexpr int kLevelCount = 32;  // scope levels 0..31
  static constexpr int kWithScopeCount = 16;

  explicit SymbolTable(Compilation& compilation);
  ~SymbolTable();
  SymbolTable(const SymbolTable&) = delete;
  SymbolTable& operator=(const SymbolTable&) = delete;

  [[nodiscard]] int scopeLevel() const { return scopeLevel_; }
  // One level deeper (program header, routine heading). Beyond level 31: error 98.
  void openScope();
  // Checks that no FORWARD or interface routine of the innermost level lacks its body
  // (error 59), releases the level's entries and types and goes one level out.
  void CloseScope();

  // A new zero entry owned by the current level, or by `level` (a routine's name and
  // parameters belong to the enclosing level, where the routine stays callable).
  SymbolEntry& newEntry();
  SymbolEntry& newEntryAt(int level);
  // A new descriptor owned by the current level.
  TypeDescriptor& newType(TypeKind kind, std::int32_t size);

  // The root slot of a level's tree.
  SymbolEntry*& rootSlot(int level);
  // Inserts `entry` into the tree rooted at `slot`; an equal name there is error 43.
  void EnterIdentifier(SymbolEntry*& slot, SymbolEntry& entry);
  void enterAtCurrentLevel(SymbolEntry& entry) { EnterIdentifier(rootSlot(scopeLevel_), entry); }

  // Looks up the current token's identifier: first the WITH trees (newest first), where
  // an entry of the wrong kind is passed over; then the levels from the innermost out,
  // where the first entry of that name ends the search - returned and marked used when
  // its kind is in the mask, else null (an inner name hides outer ones of any kind).
  [[nodiscard]] SymbolEntry* LookupIdentifier(KindMask mask);
  [[nodiscard]] SymbolEntry* lookupName(std::string_view name, KindMask mask);

  // Visits every node of one tree (also the right-linked field chains of the predefined
  // records) for an entry of `kind` with the current token's name / with `name`.
  [[nodiscard]] SymbolEntry* searchWholeTree(SymbolEntry* root, IdentKind kind) const;
  [[nodiscard]] static SymbolEntry* searchWholeTree(SymbolEntry* root, IdentKind kind,
                                                    std::string_view name);

  // WITH scopes. openWithScope returns the new tree's root slot (a 17th is error 98);
  // newWithEntry makes an entry owned by the innermost WITH scope (the field copies);
  // closeWithScope releases the innermost one.
  [[nodiscard]] int withScopeCount() const { return withCount_; }
  SymbolEntry*& openWithScope();
  SymbolEntry& newWithEntry();
  void closeWithScope();

  // Under {$U+}: one ";#UNUSED " warning line per unused declared entry of the current
  // level (run before the block's level closes).
  void listUnusedIdentifiers();

  // The line number a declaration made at the current token records.
  [[nodiscard]] std::int32_t currentDeclarationLine() const;

  // Fills level 0 with the predefined types, constants, devices, variables and standard
  // routines. Called once, on a fresh table.
  void enterPredefinedEnvironment();
  // The constant STACK of the memory directive, at the current level.
  void enterStackConstant(std::int32_t value);
  [[nodiscard]] const PredefinedTypes& types() const { return types_; }

 private:
  struct ScopeStorage {
    SymbolEntry* root = nullptr;
    std::vector<std::unique_ptr<SymbolEntry>> entries;
    std::vector<std::unique_ptr<TypeDescriptor>> types;
  };
  struct WithStorage {
    SymbolEntry* root = nullptr;
    std::vector<std::unique_ptr<SymbolEntry>> entries;
  };

  void checkRoutineBodies(const SymbolEntry* root);
  void listUnused(const SymbolEntry* root);
  void enterPredefinedTypes();
  void enterPredefinedRoutines();

  Compilation& compilation_;
  int scopeLevel_ = 0;
  std::array<ScopeStorage, kLevelCount> levels_;
  std::array<WithStorage, kWithScopeCount> withScopes_;
  int withCount_ = 0;
  PredefinedTypes types_;
};

}  // namespace vorax
