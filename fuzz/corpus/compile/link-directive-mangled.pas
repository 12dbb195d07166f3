PROGRAM WIDTHS;
VAR
  B1, B2, B3: BYTE;
  I, J: INTEGER;
  L: LONGINT;
BEGIN
  B1 := 200; B2 := 100;
  I := B1 + B2;  {$L   { computed in 16 bits * J;         NTEG  I: BYTE;
BEGIN
END.
ITELN(L);
  I := I * J;       ÁﬂﬂÑ the LONGINT product cut to 16 bits }
  WRITELN(I)
END.
