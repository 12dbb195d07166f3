// The parts of a routine heading: the parameter list with its frame offsets, the
// function result type, and the INTERRUPT and ABSOLUTE directives.
#pragma once

#include <functional>

namespace vorax {

class Compilation;
struct SymbolEntry;

// Makes the entry of one parameter: owned by the enclosing level for a routine's own
// heading (the routine stays callable there), by a short-lived store for the heading a
// body repeats.
using ParameterMaker = std::function<SymbolEntry&()>;

// [ "(" group { ";" group } ")" ] with group = [VAR] name { "," name } ":" type-name,
// then for a function ":" type-name; the scanner stands after the routine's name and is
// left after the heading. Fills the routine's parameter list, result type, the
// parameters' frame offsets and the parameter area size.
void parseRoutineHeading(Compilation& c, SymbolEntry& routine, bool isFunction,
                         const ParameterMaker& makeParameter);

// INTERRUPT at the current token: a procedure of level 2 whose only parameter, if any, is
// a REGISTERS value laid over the saved registers. Advances past INTERRUPT.
void applyInterruptDirective(Compilation& c, SymbolEntry& routine);

// ABSOLUTE [NEXTOF] address [":" address] at the current token: the routine's call label
// is equated to the address, and no code is generated for it. Leaves the scanner on ";".
void parseAbsoluteRoutine(Compilation& c, SymbolEntry& routine);

// Enters the routine's parameters into the current level's tree, where the body sees
// them.
void enterParameters(Compilation& c, SymbolEntry& routine);

}  // namespace vorax
