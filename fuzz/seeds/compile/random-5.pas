PROGRAM RND5;
CONST
  TS10LO = -100;
TYPE
  TE1 = (C2, C3, C4);
  TE5 = (C6, C7, C8, C9);
  TS10 = TS10LO..100;
  TS11 = 1..10;
  TT12 = STRING[20];
  TT13 = STRING[12];
  TT14 = STRING[20];
  TA15 = ARRAY[0..7] OF BYTE;
  TA16 = ARRAY[1..2, -2..1] OF TT13;
  TA17 = ARRAY[3..6] OF BOOLEAN;
  TR18 = RECORD
    f19: TT14;
    f20: INTEGER;
    f21: CHAR;
    f22: TS10;
  END;
  TR23 = RECORD
    f24: TS11;
    f25: INTEGER;
  END;
  TR26 = RECORD
    f27: BOOLEAN;
    f28: BYTE;
  END;
  TA29 = ARRAY[0..5] OF TR23;
  TP30 = ^LONGINT;
  TP31 = ^TR23;
VAR
  g32: TT12;
  g33: LONGINT;
  g34: TP31;
  g35: TT14;
  k47: INTEGER;
  k48: INTEGER;
  k49: INTEGER;
  FUNCTION F36(VAR a37: INTEGER; a38: TT12): TT12;
  VAR
    l39: TT13;
    l40: CHAR;
    l41: WORD;
    l42: BYTE;
    k43: INTEGER;
    k44: INTEGER;
    i45: TE5;
    i46: BYTE;
  BEGIN
    F36 := a38;
    l39 := g32;
    l40 := '0';
    l41 := (ABS(((g34^.f25 * g34^.f24) MOD 16187)) + 39154);
    l42 := 23;
    WITH g34^, g34^ DO BEGIN
      STR(l42, l39);
    END;
    l41 := (g34^.f24 MOD g34^.f24);
    a38 := (g35 + 'pp');
    a38[(ABS((g33 MOD 2)) + 1)] := UPCASE(l40);
    WITH g34^ DO BEGIN
      a38[(ABS((a37 MOD 2)) + 1)] := l40;
      l42 := ((((NOT ((LENGTH((g32 + l39)) + (-196)) * 256)) + (-282)) MOD 5) + 14);
    END;
    l40 := l40;
    IF ((UPCASE(g32[2]) > PRED(CHR((((g34^.f24 - (-154)) MOD 13) + 39)))) XOR ((NOT ODD(ORD(g32[((l42
        MOD 2) + 1)]))) AND (((POS(a38, g35) <> ABS((g34^.f25 MOD 21))) XOR (128 IN [62, 99])) OR (((g34^.f25
        <= g34^.f24) OR (l40 <= l40)) XOR ((a37 < (-30000)) OR (l42 = ((-128) + 151))))))) THEN BEGIN
      a38[(ABS((a37 MOD 2)) + 1)] := g32[((l42 MOD 2) + 1)];
      k43 := 0;
      WHILE (k43 < 4) AND (NOT (l40 IN ['4'])) DO BEGIN
        k43 := k43 + 1;
        l39 := (a38 + g32);
      END;
    END
    ELSE BEGIN
      CASE (ABS((((ABS((g34^.f25 MOD 6)) + 216) - (ABS((a37 MOD 427)) + 369)) MOD 20)) + 157) OF
        179: BEGIN
          F36 := (a38 + a38);
          IF (NOT ODD(((2 DIV g34^.f24) + (-123)))) THEN BEGIN
            l42 := l42;
            a38 := (l39 + 'pp');
          END;
        END;
        177, 157, 160: BEGIN
          k44 := 0;
          WHILE (k44 < 8) AND (l41 = l41) DO BEGIN
            k44 := k44 + 1;
            l40 := PRED('7');
          END;
        END;
        165, 171: BEGIN
          l42 := (ABS((((((a37 MOD LENGTH(g32)) - 65536) + g33) * 1) MOD 18)) + 8);
        END;
        156: BEGIN
          F36 := (l39 + 'pp');
          F36 := (g35 + l40);
        END;
        ELSE BEGIN
          F36 := (g35 + 'pp');
          FOR i46 := 9 TO 16 DO BEGIN
            a38 := (COPY(g35, (ABS((((-2) MOD ((-128) + 164)) MOD 5)) + 10), (ABS(((g34^.f25 + 166) MOD
                4)) + 6)) + 'pp');
            l40 := l40;
            l42 := (((71957 SHL 1) DIV ((-7) - (32352 - 32312))) + 3090);
          END;
        END
      END;
      l40 := l40;
    END;
    F36 := (g32 + (l39 + l40));
  END;
BEGIN
  g32 := (('0123456789' + 'ab') + ('Hello' + ''));
  g33 := 7;
  NEW(g34);
  g34^.f24 := 2;
  g34^.f25 := ((100000 MOD 23157) + 22248);
  g35 := (COPY(g32, (ABS((g33 MOD 6)) + 6), ABS((g33 MOD 10))) + 'pp');
  g34^ := g34^;
  k47 := 0;
  WHILE (k47 < 9) AND (ORD(CHR(((30000 MOD 3) + 113))) < 113) DO BEGIN
    k47 := k47 + 1;
    IF (ODD((1000 MOD (-18))) OR ((g33 >= 56895) OR ((128 >= 128) AND ((-22508) >= (-22508))))) THEN
        BEGIN
      g35 := ((COPY(COPY(g35, SUCC(BYTE(C3)), (g34^.f24 AND 128)), (((g34^.f24 SHR 2) MOD 4) + 10), ABS((((NOT
          g34^.f25) - (-1)) MOD 9))) + 'ab') + COPY(g35, g34^.f24, (((ABS(((g33 + (-128)) MOD 11)) +
          254) DIV (0 + 21)) - 5)));
    END
    ELSE BEGIN
      k48 := 0;
      WHILE (k48 < 1) AND (NOT (((-14772) < (-14772)) AND ODD(POS(g35, g35)))) DO BEGIN
        k48 := k48 + 1;
        g34 := g34;
      END;
    END;
    g34^ := g34^;
  END;
  g32[1] := g35[1];
  g35 := g35;
  g33 := 63903;
  g34^.f25 := ((g34^.f25 + (-262)) + 262);
  g32 := (g35 + 'pp');
  k49 := 0;
  WHILE (k49 < 10) AND (';' <= '\') DO BEGIN
    k49 := k49 + 1;
    WRITELN(' ', g34^.f24:8, ' ', (ORD(g32[((PRED(65536) MOD 2) + 1)]) + LENGTH((g35 + g32))):8, ' ',
        ((ABS((g33 MOD 18728)) + 9802) SHR 3));
  END;
  g34^.f24 := ((((-30000) DIV 200) + (-104)) + 260);
  WRITELN('g32=', g32);
  WRITELN('g33=', g33);
  WRITELN('g34^.f24=', g34^.f24);
  WRITELN('g34^.f25=', g34^.f25);
  WRITELN('g35=', g35);
END.
