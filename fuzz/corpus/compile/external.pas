{ Names another file defines: they stay undefined when this file is assembled alone. }
PROGRAM TALLY;
VAR
  SHARED: INTEGER; EXTERNAL;
CONST LIMIT: INTEGER; EXTERNAL;
PROCEDURE ADD(AMOUNT: INTEGER); EXTERNAL;
FUNCTION TOTAL: INTEGER; EXTERNAL;
BEGIN
  ADD(40);
  SHARED := LIMIT;
  WRITELN('total: ', TOTAL, SHARED)
END.
