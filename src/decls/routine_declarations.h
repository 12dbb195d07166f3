// PROCEDURE and FUNCTION declarations: the routine entry, its heading, its directives
// (INTERRUPT, FORWARD, ABSOLUTE, EXTERNAL) or its body; and the routine headings of a
// unit's interface, whose bodies follow in the implementation.
#pragma once

namespace vorax {

class Compilation;

// A routine declaration in a block or an implementation section; the scanner stands on
// the token after PROCEDURE or FUNCTION and is left after the closing ";".
void parseRoutineDeclaration(Compilation& c, bool isFunction);

// A routine heading in a unit's interface, with an optional ABSOLUTE or INTERRUPT; the
// scanner is left after its ";".
void parseInterfaceRoutineHeading(Compilation& c, bool isFunction);

}  // namespace vorax
