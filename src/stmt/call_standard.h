// The standard procedures that get code of their own rather than one runtime call with
// the arguments pushed. Each starts with the current token on the one after the name.
#pragma once

namespace vorax {

struct ProcedureCall;

void compileWrite(const ProcedureCall& call, bool lineEnd);  // WRITE, WRITELN
void compileRead(const ProcedureCall& call);                 // READ
void compileReadLine(const ProcedureCall& call);             // READLN
void compileStr(const ProcedureCall& call);                  // STR
void compileVal(const ProcedureCall& call);                  // VAL
void compileNew(const ProcedureCall& call);                  // NEW
void compileDispose(const ProcedureCall& call);              // DISPOSE
void compileAssign(const ProcedureCall& call);               // ASSIGN

}  // namespace vorax
