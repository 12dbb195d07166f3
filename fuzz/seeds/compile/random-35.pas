PROGRAM RND35;
CONST
  TS6LO = -5;
TYPE
  TE1 = (C2, C3, C4, C5);
  TS6 = TS6LO..20;
  TT7 = STRING[30];
  TT8 = STRING[8];
  TA9 = ARRAY[1..7] OF INTEGER;
  TR10 = RECORD
    f11: TE1;
    f12: LONGINT;
    f13: INTEGER;
    f14: INTEGER;
    f15: BOOLEAN;
  END;
  TR16 = RECORD
    f17: BOOLEAN;
    f18: TT7;
  END;
  TP19 = ^LONGINT;
VAR
  g20: TA9;
  g21: TT8;
  g22: INTEGER;
  g23: TT7;
  g24: TA9;
  g25: TT7;
  g26: INTEGER;
  i33: LONGINT;
  k34: INTEGER;
  k35: INTEGER;
  PROCEDURE P27;
  VAR
    l28: TP19;
    l29: CHAR;
    l30: TT8;
    l31: BYTE;
    l32: TP19;
  BEGIN
    NEW(l28);
    l28^ := ((7 + 4096) + (-100));
    l29 := '|';
    l30 := g23;
    l31 := (ABS((g24[(((-9444) MOD 2) + 7)] MOD 22)) + 1);
    NEW(l32);
    l32^ := ((g20[(((l31 + 10) MOD 5) + 2)] + 2036) XOR 235);
    g26 := (((ORD(l29) * 1) - (l31 + 100000)) + 108106);
    l29 := '6';
    STR(l32^, g25);
    l32 := l32;
    g26 := ((((((l31 MOD (ABS((l28^ MOD 5)) + 1)) * 255) * 128) - (-128)) MOD 6742) - 12496);
    l32^ := ((((0 OR 7) - (-128)) + ((3 * (ABS((g24[(ABS((l32^ MOD 2)) + 4)] MOD 11)) - 23)) + (BYTE(SUCC(C2))
        + g20[4]))) + 255);
    l32^ := ((((-l28^) + 125) XOR 127) DIV ((ABS((l32^ MOD 20)) + 75) SHL (ABS((g20[(ABS((((l32^ + 300)
        - (BYTE(SUCC(C3)) + 30000)) MOD 7)) + 1)] MOD 6)) + 1)));
    WRITELN('l28^=', l28^);
    WRITELN('l29=', l29);
    WRITELN('l30=', l30);
    WRITELN('l31=', l31);
    WRITELN('l32^=', l32^);
  END;
BEGIN
  g20[1] := (7 - 290);
  g20[2] := ((ORD('}') OR ORD(']')) - (((32767 MOD 20) - 714) + ORD(UPCASE('7'))));
  g20[3] := (-1000);
  g20[4] := 0;
  g20[5] := (((-220) + 255) * (-2));
  g20[6] := 1;
  g20[7] := ((12434 - 4096) - 8767);
  g21 := ('xyz' + '''');
  g22 := 100;
  g23 := g21;
  g24[1] := g22;
  g24[2] := (ABS((((g22 SHL (g22 MOD 7)) * (g20[((70000 * (-4728)) + 330960007)] OR g20[(ABS((((g22 -
      POS(g23, g21)) - (g20[((LENGTH((g23 + g23)) MOD 3) + 3)] + g22)) MOD 6)) + 2)])) MOD 1539)) - 890);
  g24[3] := (g22 MOD (-129));
  g24[4] := (100000 - 99666);
  g24[5] := (ABS(((NOT (g22 + g20[(((g22 + g22) MOD 3) + 5)])) MOD 9)) + 48);
  g24[6] := (g22 * 10);
  g24[7] := ORD(CHR((ABS(((-1) MOD 86)) + 43)));
  g25 := g21;
  g26 := (128 SHR 6);
  g24 := g24;
  g26 := ((ABS((g20[(100000 - 99998)] MOD 15)) + 89) SHL 5);
  FOR i33 := (-70000) TO (-69999) DO BEGIN
    P27;
    k34 := 0;
    REPEAT
      k34 := k34 + 1;
      k35 := 0;
      WHILE (k35 < 8) AND (((C3 <= C3) AND (ORD(CHR(56)) <= 56)) AND (('R' < '''') AND (C5 <> C2))) DO
          BEGIN
        k35 := k35 + 1;
        g20[((ABS(g24[(ABS((g26 MOD 3)) + 4)]) MOD 2) + 5)] := 255;
        g25 := COPY(g23, (((LENGTH((g25 + g21)) DIV 2) DIV (i33 - (POS(g21, g21) MOD (282 + g22)))) +
            12), 5);
      END;
    UNTIL (k34 >= 4) OR ((TRUE AND FALSE) XOR (NOT (g26 <> g22)));
  END;
  g26 := g22;
  P27;
  P27;
  STR((g20[(ABS((PRED(g22) MOD 5)) + 3)] * ABS(1)), g23);
  g25 := g25;
  CASE (ABS((g26 MOD 1187)) - 632) OF
    116..119: BEGIN
      g23 := (UPCASE(CHR((ABS((((-4359) OR g26) MOD 53)) + 64))) + COPY(g21, (PRED(((BYTE(PRED(C5)) MOD
          255) + 275)) - 266), 10));
      P27;
    END;
    -480: BEGIN
      g25 := g25;
      g22 := (((((((-129) - 2) + g24[(((g26 AND POS(g25, (g21 + g25))) MOD 3) + 1)]) + (g20[3] + 1000))
          + 4096) MOD 54) + 14);
    END;
    -512, -257..-256, -154: BEGIN
      STR(32767, g23);
    END;
    -462, -129, -319: BEGIN
      g25 := COPY((g25 + ((g23 + '') + g21)), (ABS(((((0 * (-267)) + (-g20[((-8593) + 8594)])) AND ((((-32474)
          AND (-247)) + 32032) + (ABS(((g26 AND (-5)) MOD 1922)) - 976))) MOD 2)) + 4), 7);
    END;
    440, 469, -433: BEGIN
      IF (g21 >= g21) THEN BEGIN
        P27;
        g23 := g21;
      END;
    END
  END;
  WRITELN('g20[1]=', g20[1]);
  WRITELN('g20[2]=', g20[2]);
  WRITELN('g20[3]=', g20[3]);
  WRITELN('g20[4]=', g20[4]);
  WRITELN('g20[5]=', g20[5]);
  WRITELN('g20[6]=', g20[6]);
  WRITELN('g20[7]=', g20[7]);
  WRITELN('g21=', g21);
  WRITELN('g22=', g22);
  WRITELN('g23=', g23);
  WRITELN('g24[1]=', g24[1]);
  WRITELN('g24[2]=', g24[2]);
  WRITELN('g24[3]=', g24[3]);
  WRITELN('g24[4]=', g24[4]);
  WRITELN('g24[5]=', g24[5]);
  WRITELN('g24[6]=', g24[6]);
  WRITELN('g24[7]=', g24[7]);
  WRITELN('g25=', g25);
  WRITELN('g26=', g26);
END.
