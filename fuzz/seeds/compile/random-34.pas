PROGRAM RND34;
CONST
  TS12LO = -5;
TYPE
  TE1 = (C2, C3, C4);
  TE5 = (C6, C7, C8, C9, C10, C11);
  TS12 = TS12LO..20;
  TS13 = 1..10;
  TT14 = STRING[30];
  TT15 = STRING[4];
  TA16 = ARRAY[0..3, 3..6] OF INTEGER;
  TA17 = ARRAY[-2..-1, 0..2] OF CHAR;
  TA18 = ARRAY[1..4] OF LONGINT;
  TR19 = RECORD
    f20: LONGINT;
    f21: CHAR;
    f22: TA18;
    f23: TT15;
    f24: TT14;
  END;
  TP25 = ^INTEGER;
  TP26 = ^TR19;
VAR
  g27: LONGINT;
  g28: BYTE;
  g29: CHAR;
  g30: INTEGER;
  g31: LONGINT;
  g32: TT14;
  g33: LONGINT;
  g34: BYTE;
  i42: INTEGER;
  i43: INTEGER;
  k44: INTEGER;
  i45: LONGINT;
  k46: INTEGER;
  i47: TE1;
  i48: INTEGER;
  i49: BYTE;
  i50: TE1;
  PROCEDURE P35;
  VAR
    l36: CHAR;
    l37: INTEGER;
    l38: INTEGER;
    l39: INTEGER;
    k40: INTEGER;
    k41: INTEGER;
  BEGIN
    l36 := SUCC('6');
    l37 := 3;
    l38 := (-9615);
    l39 := (ABS(((g30 - g27) MOD 15)) - 989);
    g29 := CHR((ABS((((((-129) - 16) + g34) MOD 127) MOD 22)) + 45));
    l39 := 16;
    k40 := 0;
    REPEAT
      k40 := k40 + 1;
      g28 := ((g31 MOD 7) + 1);
    UNTIL (k40 >= 5) OR (((l36 >= l36) AND ODD(l37)) OR (g27 <> g27));
    g29 := l36;
    g34 := g34;
    l39 := (-360);
    k41 := 0;
    WHILE (k41 < 3) AND ODD(g28) DO BEGIN
      k41 := k41 + 1;
      g33 := ((((ABS(((ABS((l38 MOD 1601)) - 651) + (-21))) + 37) MOD 15) + 126) * ((158 MOD 17) + 53));
      g30 := 1000;
    END;
    WRITELN('l36=', l36);
    WRITELN('l37=', l37);
    WRITELN('l38=', l38);
    WRITELN('l39=', l39);
  END;
BEGIN
  g27 := (ABS(405) OR 70000);
  g28 := (70000 - 69997);
  g29 := CHR(32);
  g30 := (200 * POS('Hello', ('xyz' + g29)));
  g31 := (ABS((g27 MOD 10767)) + 7765);
  g32 := g29;
  g33 := (LENGTH((g32 + g32)) - (-33));
  g34 := BYTE(C2);
  g34 := (ABS((((255 OR 7) * (g30 DIV ((((g33 - (-21897)) MOD 12) + 565) DIV ((((ABS((g27 MOD 3524))
      + 201) AND g34) MOD 10) + 12)))) MOD 19)) + 11);
  FOR i42 := 32756 TO 32767 DO BEGIN
    FOR i43 := (-32762) DOWNTO (-32762) DO BEGIN
      g33 := (((((((g33 MOD 8) + 773) MOD (ABS(((7571 - (g27 - g27)) MOD 29)) + 8)) * g33) - (-1)) MOD
          6) + 3245);
      k44 := 0;
      WHILE (k44 < 1) AND (g29 = g29) DO BEGIN
        k44 := k44 + 1;
        g32 := g32;
        g28 := (((g31 MOD i42) MOD 15) + 14);
        STR((128 * g34), g32);
      END;
      IF ((POS(g32, g32) OR 5) <> (((g28 - (-235)) MOD 13) + 14)) THEN BEGIN
        STR((g31 AND (-100)), g32);
      END;
    END;
    WRITELN(' ', (g27 - g28), ' ', g29);
  END;
  CASE TE5(5) OF
    C11: BEGIN
      FOR i45 := 32760 DOWNTO 32760 DO BEGIN
        g27 := g33;
        P35;
        k46 := 0;
        WHILE (k46 < 10) AND (g29 >= g29) DO BEGIN
          k46 := k46 + 1;
          g34 := ((256 MOD 20) - 11);
        END;
      END;
    END;
    ELSE BEGIN
      IF (TE1(ABS((((((g31 MOD 1027) - 675) DIV (((77681 DIV 100000) MOD 26) - 30)) + (-300)) MOD 3)))
          > PRED(TE1(2))) THEN BEGIN
        g29 := UPCASE(PRED(CHR(100)));
        P35;
      END
      ELSE BEGIN
        g28 := (ABS(((g31 * (-176)) MOD 12)) + 6);
        g34 := (g34 MOD ((g33 * ORD(SUCC('k'))) + 1));
      END;
      g33 := (((-22387) - 5) + 29690);
    END
  END;
  WRITELN(' ', g28, ' ', (-16876));
  P35;
  g32 := g32;
  P35;
  CASE (ABS(((g31 OR (-258)) MOD 41)) - 20) OF
    -19..-16, -23: BEGIN
      g34 := g34;
      FOR i48 := (-18) TO (-17) DO BEGIN
        FOR i49 := 255 TO 255 DO BEGIN
          g28 := (32767 - 32744);
        END;
        P35;
        g34 := (((((ABS(((g31 - 41966) MOD 142)) + 26) SHL 4) OR 5) MOD 3) + 24);
      END;
    END
  END;
  g33 := 2;
  WRITE(' ', (-100000), ' ', 90950, ' ', g34);
  P35;
  WRITELN('g27=', g27);
  WRITELN('g28=', g28);
  WRITELN('g29=', g29);
  WRITELN('g30=', g30);
  WRITELN('g31=', g31);
  WRITELN('g32=', g32);
  WRITELN('g33=', g33);
  WRITELN('g34=', g34);
END.
