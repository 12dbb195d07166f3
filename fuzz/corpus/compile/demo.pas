{ DEMO: a small program to start from. Compile it with ./vorax.sh examples/DEMO.PAS and
  run it with build/vorax-sim examples/DEMO.asm }
PROGRAM DEMO;
CONST
  COUNT = 10;
VAR
  I: INTEGER;
  TOTAL: LONGINT;
  NAME: STRING[16];

FUNCTION SQUARE(N: LONGINT): LONGINT;
BEGIN
  SQUARE := N * N
END;

PROCEDURE SHOW(LABELTEXT: STRING; VALUE: LONGINT);
BEGIN
  WRITELN(LABELTEXT, ' = ', VALUE)
END;

BEGIN
  NAME := 'squares';
  TOTAL := 0;
  FOR I := 1 TO COUNT DO
    TOTAL := TOTAL + SQUARE(I);
  SHOW('sum of ' + NAME, TOTAL);
  I := 0;
  WHILE I < 3 DO
  BEGIN
    IF ODD(I) THEN WRITELN(I, ' is odd') ELSE WRITELN(I, ' is even');
    I := I + 1
  END
END.
