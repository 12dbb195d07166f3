// Local labels "$n" and window markers "@n" / "#n". Local label numbers restart at 2 after
// every global label, so a "$n" is unique only up to the next one. Markers remember a
// position in the window: control statements find their own earlier lines through them,
// and spill marks turn into a push only when a routine call really followed.
#pragma once

#include <string>
#include <string_view>

namespace vorax {

class Compilation;

// "$" followed by the decimal number.
[[nodiscard]] std::string localLabelText(int number);

// The label the next instruction will carry: the pending label, or a new "$n" made
// pending. With forgetRegisters the register contents are forgotten first.
std::string currentLabel(Compilation& compilation, bool forgetRegisters);

// Places `label` only when something branches to it; when it is already the pending
// label, one more use is counted for it instead.
void placeLabelIfUsed(Compilation& compilation, bool forgetRegisters, std::string_view label);

// Places a marker "@n" or "#n" (prefix "@" or "#"): a "bcx" line labelled and sourced with
// the marker text, counted among the filler lines. Returns the marker text.
std::string placeMarker(Compilation& compilation, std::string_view prefix);

// Places a spill mark: a marker for a value that waits in `registerText` while something
// that may call a routine is generated. The mark's line names the register, so that a
// mark written out before it is settled (a window overflow, an assembly include) leaves
// as a push of the register ("mov.l R,@-sp") instead of a placeholder.
std::string placeSpillMark(Compilation& compilation, std::string_view registerText);

// Makes the spill mark on window line `line` save its value whether or not a call follows
// (its register may then be released): settling it pushes and pops as after a call.
void requireSpillPush(Compilation& compilation, int line);

// Settles a spill mark placed while `registerText` held a value: when a "bsr" followed
// the mark, the mark's line becomes a push of the register, the value is popped into a
// newly allocated register and `registerText` names that register; otherwise the mark's
// line becomes an unlabelled "nop". `isLong` selects "mov.l" over "mov.w". A mark that has
// left the window left as a push: the value is popped ("mov.l").
void resolveSpillMark(Compilation& compilation, std::string_view mark, std::string& registerText,
                      bool isLong);

}  // namespace vorax
