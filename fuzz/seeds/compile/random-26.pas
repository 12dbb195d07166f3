PROGRAM RND26;
CONST
  TS7LO = -100;
TYPE
  TE1 = (C2, C3, C4, C5);
  TS6 = 0..200;
  TS7 = TS7LO..100;
  TT8 = STRING[30];
  TT9 = STRING[20];
  TA10 = ARRAY[1..3, 0..1] OF BYTE;
  TR11 = RECORD
    f12: INTEGER;
    f13: LONGINT;
    f14: LONGINT;
    f15: INTEGER;
    f16: INTEGER;
  END;
  TR17 = RECORD
    f18: CHAR;
    f19: BYTE;
    f20: TT8;
    f21: CHAR;
  END;
  TP22 = ^TR11;
VAR
  g23: TR11;
  g24: TT8;
  g25: BYTE;
  g26: BYTE;
  k34: INTEGER;
  i35: BYTE;
  k36: INTEGER;
  k37: INTEGER;
  PROCEDURE P27(VAR a28: TR11; a29: BYTE);
  VAR
    l30: LONGINT;
    i31: INTEGER;
    i32: INTEGER;
    i33: BYTE;
  BEGIN
    l30 := POS(g24, g24);
    IF (((ABS((l30 MOD 16108)) + 5009) SHR 0) >= 17147) THEN BEGIN
      IF (((((88570 - 88538) IN [223, 109, 182..190]) OR (a28.f14 > 77018)) OR (ODD(g26) AND ((-2) <=
          (-2)))) AND ((a28.f16 = (-894)) OR ((LENGTH(g24) IN [234..250, 131, 144, 66..70]) = (C2 = C4))))
          THEN BEGIN
        IF (((-(-21402)) > 21402) AND ('#' <> '2')) THEN BEGIN
          g23.f12 := (g23.f15 AND (-2));
        END
        ELSE BEGIN
          g23.f12 := (-128);
        END;
        FOR i31 := (-10) DOWNTO (-14) DO BEGIN
          g23.f16 := (ABS(((l30 + 5) MOD 20)) + 223);
        END;
      END
      ELSE BEGIN
        IF (l30 >= ((ABS((g23.f14 MOD 292)) - 142) * ((-30000) + 30028))) THEN BEGIN
          g26 := (ABS((g23.f16 MOD 7)) + 139);
          g26 := (ABS((l30 MOD 226)) + 5);
        END;
        g23.f12 := g25;
      END;
      a28.f16 := (ABS((a28.f14 MOD 83)) - 400);
    END;
    IF ((NOT (((g24 <> ';') OR (g24 <> g24)) OR (NOT (g23.f12 = 1000)))) OR ((ODD(g23.f16) OR (NOT ODD(g23.f15)))
        AND (((ABS((g23.f16 MOD 234)) - 131) * ORD('''')) < (-g23.f15)))) THEN BEGIN
      WRITE(' ', COPY(g24, ((a29 MOD 12) + 1), (91208 - 91201)), ' ', g24);
      FOR i32 := (-14) TO (-11) DO BEGIN
        FOR i33 := 11 DOWNTO 1 DO BEGIN
          a28 := g23;
          STR(a28.f15, g24);
          a28.f15 := 9;
        END;
        WITH a28 DO BEGIN
          g25 := 255;
        END;
      END;
    END;
    WITH g23 DO BEGIN
      a28 := g23;
    END;
    g23.f14 := ((ABS(((((g23.f12 + 127) - (a29 - (-8))) - (-2)) MOD 14)) + 89) SHL (ABS(((((100000 -
        194) + (a28.f14 * g23.f15)) - g23.f13) MOD 4)) + 1));
    WRITELN('a28.f12=', a28.f12);
    WRITELN('a28.f13=', a28.f13);
    WRITELN('a28.f14=', a28.f14);
    WRITELN('a28.f15=', a28.f15);
    WRITELN('a28.f16=', a28.f16);
    WRITELN('a29=', a29);
    WRITELN('l30=', l30);
  END;
BEGIN
  g23.f12 := ((-100) + 128);
  g23.f13 := ABS(30321);
  g23.f14 := ABS((-2397));
  g23.f15 := (ORD('e') - 21);
  g23.f16 := 2;
  g24 := 'Hello';
  g25 := (ABS((g23.f14 MOD 8)) + 39);
  g26 := ((-100) + 350);
  g26 := (ABS((((g23.f15 + (g23.f14 DIV (-2))) - (-226)) MOD 252)) + 4);
  k34 := 0;
  REPEAT
    k34 := k34 + 1;
    g26 := (((ABS((g23.f13 MOD 19)) + 106) SHL 0) MOD 72);
    WITH g23 DO BEGIN
      f13 := f13;
    END;
  UNTIL (k34 >= 9) OR (NOT (('>' <> '!') OR ((g23.f14 <> g23.f14) OR ODD(70000))));
  FOR i35 := 16 DOWNTO ((g26 MOD 3) + 10) DO BEGIN
    g23.f15 := (ABS((((-g23.f15) * g23.f16) MOD 19)) + 7);
    P27(g23, (ABS((g23.f14 MOD 8)) + 12));
  END;
  WITH g23 DO BEGIN
    k36 := 0;
    WHILE (k36 < 1) AND ((ODD(f13) AND FALSE) AND ((NOT ((ABS((g23.f16 MOD 131)) + 109) IN [107, 133]))
        OR (NOT (10 IN [104, 180..187, 25..36])))) DO BEGIN
      k36 := k36 + 1;
      k37 := 0;
      WHILE (k37 < 10) AND (((C5 >= C2) OR (((-7) <> (-7)) AND (35156 >= 35156))) AND (((g23.f13 >= f15)
          AND (f13 < f13)) OR ((ORD('H') >= 72) AND (5 <> 5)))) DO BEGIN
        k37 := k37 + 1;
        P27(g23, 2);
      END;
    END;
    g23.f12 := (ABS((g23.f14 MOD 13)) + 696);
    g23.f14 := (LENGTH(g24) XOR (f16 + 1512));
  END;
  WRITELN('g23.f12=', g23.f12);
  WRITELN('g23.f13=', g23.f13);
  WRITELN('g23.f14=', g23.f14);
  WRITELN('g23.f15=', g23.f15);
  WRITELN('g23.f16=', g23.f16);
  WRITELN('g24=', g24);
  WRITELN('g25=', g25);
  WRITELN('g26=', g26);
END.
