{ An assembly module linked with the program: its file is not there when the output is assembled alone. }
PROGRAM LINKED;
{$L MODULE}
PROCEDURE FROMMODULE; EXTERNAL;
BEGIN
  FROMMODULE;
  WRITELN(1)
END.
