PROGRAM RND24;
CONST
  TS13LO = -100;
  TS14LO = -100;
TYPE
  TE1 = (C2, C3, C4, C5, C6);
  TE7 = (C8, C9, C10, C11, C12);
  TS13 = TS13LO..100;
  TS14 = TS14LO..100;
  TT15 = STRING[4];
  TT16 = STRING[4];
  TT17 = STRING[20];
  TA18 = ARRAY[1..4] OF INTEGER;
  TR19 = RECORD
    f20: TA18;
    f21: TA18;
    f22: INTEGER;
    f23: LONGINT;
  END;
  TR24 = RECORD
    f25: WORD;
    f26: INTEGER;
    f27: TE7;
    f28: BOOLEAN;
    f29: INTEGER;
    f30: LONGINT;
  END;
  TR31 = RECORD
    f32: TT17;
    f33: TA18;
    f34: TA18;
    f35: LONGINT;
  END;
  TA36 = ARRAY[3..10] OF TR24;
  TP37 = ^TR24;
  TP38 = ^TR19;
VAR
  g39: BOOLEAN;
  g40: CHAR;
  g41: BYTE;
  g42: CHAR;
  g43: TT16;
  g44: TT16;
  k54: INTEGER;
  k55: INTEGER;
  PROCEDURE P45(VAR a46: TR31);
  VAR
    l47: CHAR;
    l48: LONGINT;
    l49: BYTE;
    l50: INTEGER;
    i51: LONGINT;
    i52: LONGINT;
    i53: INTEGER;
  BEGIN
    l47 := '>';
    l48 := 3;
    l49 := ((ABS((-30000)) OR 1) - 29995);
    l50 := (ABS((l48 MOD 1566)) - 793);
    WRITE(' ', (-128), ' ', COPY(a46.f32, (ABS(((((-1) + l50) + (-288)) MOD 8)) + 4), (ABS((l48 MOD 4))
        + 4)));
    IF (NOT ((ABS((l50 MOD 231)) + 20) IN [134, 48, 157])) THEN BEGIN
      a46 := a46;
    END;
    STR((ABS(((-129) MOD 68)) + 440), g43);
    IF (((-100) >= (-100)) OR ((a46.f32 <> 'Y') XOR (l50 <> POS(g43, a46.f32)))) THEN BEGIN
      FOR i51 := 5 TO 8 DO BEGIN
        g40 := g40;
        l49 := 16;
      END;
      FOR i52 := (-20) TO (-10) DO BEGIN
        WRITE(' ', 3, ' ', l50, ' ', a46.f32);
        WRITE(' ', g44:3);
        a46.f35 := ((-9680) - SUCC(75021));
      END;
    END;
    FOR i53 := 32767 TO 32767 DO BEGIN
      g39 := (NOT (30841 < 30841));
    END;
    WRITELN('a46.f32=', a46.f32);
    WRITELN('a46.f33[1]=', a46.f33[1]);
    WRITELN('a46.f33[2]=', a46.f33[2]);
    WRITELN('a46.f33[3]=', a46.f33[3]);
    WRITELN('a46.f33[4]=', a46.f33[4]);
    WRITELN('a46.f34[1]=', a46.f34[1]);
    WRITELN('a46.f34[2]=', a46.f34[2]);
    WRITELN('a46.f34[3]=', a46.f34[3]);
    WRITELN('a46.f34[4]=', a46.f34[4]);
    WRITELN('a46.f35=', a46.f35);
    WRITELN('l47=', l47);
    WRITELN('l48=', l48);
    WRITELN('l49=', l49);
    WRITELN('l50=', l50);
  END;
BEGIN
  g39 := (256 <= 256);
  g40 := CHR(100);
  g41 := ORD(g40);
  g42 := '9';
  g43 := '0123456789';
  g44 := (g43 + g43);
  g43 := COPY(g44, ((((((g41 + (-143)) MOD (-100)) + 718) SHR ((g41 MOD 7) + 2)) MOD 6) + 7), ((g41 MOD
      6) + 1));
  g39 := (((((-100) < (-100)) OR (NOT (g41 IN [125..141]))) AND ((g44 > g44) AND (LENGTH(COPY(g43, ((g41
      MOD 12) + 1), 6)) <= 3))) XOR (((g44 = g40) OR ODD(BYTE(C10))) <> (g41 < g41)));
  g39 := g39;
  CASE ((ORD(UPCASE(g40)) MOD 3) + 4) OF
    1: BEGIN
      IF ((g39 AND (COPY(g44, ((g41 MOD 10) + 1), 1) <> g40)) OR ((NOT (((-289) <= (-289)) OR TRUE))
          OR (((C2 >= C5) AND g39) OR (34133 <= 34133)))) THEN BEGIN
        g39 := ((((256 > 256) AND ((g40 >= g42) AND ODD(g41))) OR g39) OR (g43 >= g43));
      END;
      k54 := 0;
      REPEAT
        k54 := k54 + 1;
        g42 := g42;
        g40 := g40;
      UNTIL (k54 >= 9) OR ((100000 - 33) > 99967);
    END;
    9..14, 3: BEGIN
      g44 := g43;
    END;
    7: BEGIN
      g42 := g42;
    END;
    4: BEGIN
      IF ((g44 <> g40) OR (((g41 IN [171, 143, 167]) AND g39) OR (g39 OR ((C8 < C8) AND TRUE)))) THEN
          BEGIN
        k55 := 0;
        WHILE (k55 < 11) AND (ODD(LENGTH(g43)) AND ((NOT (g41 >= g41)) OR ((g42 = 'E') AND g39))) DO
            BEGIN
          k55 := k55 + 1;
          WRITE(' ', (-315754457));
        END;
        g44 := g43;
      END;
      g42 := g42;
    END;
    ELSE BEGIN
      IF (NOT ((255 < 255) OR (g40 IN ['n', '=']))) THEN WRITE('T') ELSE WRITE('F');
      g41 := g41;
    END
  END;
  g43 := g43;
  g44 := g43;
  WRITE('g39=');
  IF g39 THEN WRITE('T') ELSE WRITE('F');
  WRITELN;
  WRITELN('g40=', g40);
  WRITELN('g41=', g41);
  WRITELN('g42=', g42);
  WRITELN('g43=', g43);
  WRITELN('g44=', g44);
END.
