PROGRAM RND30;
CONST
  TS8LO = -100;
  TS9LO = -100;
TYPE
  TE1 = (C2, C3, C4);
  TE5 = (C6, C7);
  TS8 = TS8LO..100;
  TS9 = TS9LO..100;
  TT10 = STRING[4];
  TT11 = STRING;
  TT12 = STRING[20];
  TA13 = ARRAY[TE5, 1..3] OF INTEGER;
  TA14 = ARRAY[TE5, 1..4] OF WORD;
  TR15 = RECORD
    f16: BYTE;
    f17: WORD;
    f18: LONGINT;
    f19: TS9;
  END;
  TA20 = ARRAY[-2..3] OF TR15;
  TP21 = ^TR15;
  TP22 = ^TR15;
VAR
  g23: LONGINT;
  g24: LONGINT;
  g25: TR15;
  g26: TT11;
  g27: BOOLEAN;
  g28: INTEGER;
  g29: LONGINT;
  g30: INTEGER;
  g31: BYTE;
  i40: LONGINT;
  k41: INTEGER;
  k42: INTEGER;
  i43: LONGINT;
  FUNCTION F32(a33: BYTE): BYTE;
  VAR
    l34: BYTE;
    l35: TT11;
    l36: TA13;
    l37: TT12;
    i38: INTEGER;
    k39: INTEGER;
  BEGIN
    F32 := ((g30 MOD 4) + 19);
    l34 := ((((-21916) * (-215)) MOD 18) + 21);
    l35 := g26;
    l36[C6, 1] := g28;
    l36[C6, 2] := ((g25.f19 OR 2) + 247);
    l36[C6, 3] := (((((g23 MOD 7) + 45) * (ABS((g29 MOD 10)) - 23)) + 24984) SHR 7);
    l36[C7, 1] := g30;
    l36[C7, 2] := g30;
    l36[C7, 3] := (g25.f16 - (-100));
    l37 := l35;
    l37 := l35;
    l37 := CHR(35);
    l34 := (ABS(((g29 OR g23) MOD 12)) + 15);
    FOR i38 := 32757 TO 32767 DO BEGIN
      l34 := (ABS(((((g25.f19 MOD (-232)) + (g24 - 9)) - ABS((63668 + 100000))) MOD 2)) + 20);
      l36 := l36;
    END;
    IF (((((l37 < 'a b c') OR ((ORD('B') IN [193, 43, 118..132]) XOR ((-100) <= (-100)))) AND ((g27 AND
        ('Z' >= 'v')) <> (ORD(SUCC('N')) = 79))) XOR (NOT (10 IN [227..241, 193, 219]))) XOR ((((ODD(g29)
        AND ODD(l36[C6, (ABS(((l36[C6, ((g31 MOD 2) + 2)] + 0) MOD 2)) + 2)])) AND ('X' > 'H')) OR (g25.f16
        > 128)) AND (((NOT (NOT (16 IN [99, 96]))) OR (g27 AND (g25.f17 > BYTE(TE5((26765 - 26765))))))
        AND (((g28 = 18) AND g27) AND (NOT g27))))) THEN BEGIN
      IF (255 IN [33..49, 147, 102, 107..124]) THEN BEGIN
        l35 := COPY((l35 + (l35 + '(')), 1, 60);
        k39 := 0;
        WHILE (k39 < 6) AND (C6 < TE5((a33 MOD 2))) DO BEGIN
          k39 := k39 + 1;
          DELETE(l35, 10, (ABS((g25.f19 MOD 5)) + 2));
        END;
      END
      ELSE BEGIN
        F32 := ((g23 DIV 3) MOD 27);
      END;
    END;
    F32 := (ABS((((200 - 100000) - (g25.f18 XOR 2)) MOD 8)) + 2);
  END;
BEGIN
  g23 := 10;
  g24 := 10;
  g25.f16 := ((g23 MOD 198) + 39);
  g25.f17 := (ABS((g24 MOD 17)) + 18435);
  g25.f18 := (g23 - LENGTH(('QQ' + '0')));
  g25.f19 := ((g23 MOD 63) - 29);
  g26 := 'a b c';
  g27 := ((-2518) < (-2518));
  g28 := 0;
  g29 := (5 AND 3);
  g30 := (ABS((g25.f18 MOD 6)) + 44);
  g31 := ((-30776) + 30798);
  FOR i40 := ((F32(146) MOD 2) - 2147483640) DOWNTO ((F32(((g23 MOD 154) + 82)) MOD 3) - 2147483645)
      DO BEGIN
    g31 := ((79982 XOR 50) - 79938);
    k41 := 0;
    WHILE (k41 < 12) AND (g29 < g25.f19) DO BEGIN
      k41 := k41 + 1;
      g25.f18 := (-POS(g26, g26));
      g29 := (-PRED((g30 * 149)));
    END;
  END;
  WRITE(' ', 100);
  g24 := LENGTH((g26 + '('));
  g26 := g26;
  g30 := (BYTE(C4) DIV (100000 - 100));
  WRITE(' ', 1000000, ' ', g26:1, ' ', (NOT g24));
  k42 := 0;
  REPEAT
    k42 := k42 + 1;
    g25.f17 := ((((((ABS((((((70000 - 54820) SHR ((-300) + 306)) * (((94401 MOD 13) + 507) MOD (-2)))
        - (((-100) OR 257) + (g23 + 213))) MOD 8)) + 1001) XOR g25.f16) MOD 7) - 852) DIV (ABS((g25.f18
        MOD 27)) + 4)) + 26871);
    g25.f19 := BYTE(C2);
  UNTIL (k42 >= 2) OR (('7' <= 'u') AND (g27 OR ('b' <> 'y')));
  IF (NOT ((((-20) * (256 - 375)) - 2320) IN [227..242, 212])) THEN BEGIN
    FOR i43 := (-7) DOWNTO (-12) DO BEGIN
      g24 := F32(128);
    END;
    g29 := LENGTH((g26 + ' '));
  END
  ELSE BEGIN
    WITH g25 DO BEGIN
      IF (('s' > 'J') AND g27) THEN BEGIN
        g25.f18 := ORD(SUCC(''''));
      END;
      IF (ODD(0) XOR g27) THEN BEGIN
        g23 := (ABS(((-f18) MOD 3)) + 61287);
      END;
    END;
  END;
  WRITELN('g23=', g23);
  WRITELN('g24=', g24);
  WRITELN('g25.f16=', g25.f16);
  WRITELN('g25.f17=', g25.f17);
  WRITELN('g25.f18=', g25.f18);
  WRITELN('g25.f19=', g25.f19);
  WRITELN('g26=', g26);
  WRITE('g27=');
  IF g27 THEN WRITE('T') ELSE WRITE('F');
  WRITELN;
  WRITELN('g28=', g28);
  WRITELN('g29=', g29);
  WRITELN('g30=', g30);
  WRITELN('g31=', g31);
END.
