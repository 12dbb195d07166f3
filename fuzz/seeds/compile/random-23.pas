PROGRAM RND23;
TYPE
  TE1 = (C2, C3);
  TE4 = (C5, C6, C7);
  TS8 = 0..200;
  TT9 = STRING[8];
  TT10 = STRING;
  TA11 = ARRAY[3..5] OF WORD;
  TA12 = ARRAY[-2..1, -2..0] OF TS8;
  TA13 = ARRAY[-2..1, TE4] OF WORD;
  TR14 = RECORD
    f15: CHAR;
    f16: INTEGER;
    f17: INTEGER;
    f18: WORD;
    f19: TE1;
    f20: INTEGER;
  END;
  TP21 = ^TR14;
  TP22 = ^TR14;
VAR
  g23: TR14;
  g24: LONGINT;
  g25: TP21;
  g26: TA11;
  g27: CHAR;
  i34: TE4;
  k35: INTEGER;
  i36: INTEGER;
  k37: INTEGER;
  i38: INTEGER;
  k39: INTEGER;
  k40: INTEGER;
  k41: INTEGER;
  PROCEDURE P28(a29: BYTE; a30: BYTE);
  VAR
    l31: TR14;
    l32: TA11;
    l33: TR14;
  BEGIN
    l31.f15 := g23.f15;
    l31.f16 := 127;
    l31.f17 := (-100);
    l31.f18 := a30;
    l31.f19 := g23.f19;
    l31.f20 := (ABS(((g25^.f16 MOD (-109)) MOD 9)) + 87);
    l32[3] := LENGTH(COPY('', (ABS((g25^.f17 MOD 5)) + 1), ABS((g23.f16 MOD 11))));
    l32[4] := g25^.f20;
    l32[5] := ((-67558) + 89967);
    l33.f15 := l31.f15;
    l33.f16 := 12947;
    l33.f17 := g25^.f17;
    l33.f18 := l31.f18;
    l33.f19 := g25^.f19;
    l33.f20 := (256 - 166);
    WRITELN(' ', g23.f15, ' ', SUCC(g25^.f15):8, ' ', (128 AND ((g23.f16 DIV (ORD(UPCASE(g23.f15)) +
        (-300))) + 3814)));
    g25^.f18 := (ABS(((((((255 XOR 78036) MOD 11) + 10) * (((90127 - ORD(SUCC(g25^.f15))) MOD 284) -
        136)) - (-123)) MOD 3)) + 563);
    g23 := l31;
    g25^.f20 := 1;
    IF (((g25^.f20 - ((-g25^.f16) + (g25^.f18 + (-47)))) < ((3 OR a29) + (128 * ((-7) + 2)))) AND ((2
        < 2) OR ((NOT (70000 XOR g23.f20)) >= (l33.f17 - 72215)))) THEN BEGIN
      g25 := g25;
      l32[((100000 MOD 2) + 5)] := 51351;
    END
    ELSE BEGIN
      g25^.f20 := (ABS(((LENGTH('ab') * (-l31.f20)) MOD 5)) + 84);
    END;
    WRITELN('a29=', a29);
    WRITELN('a30=', a30);
    WRITELN('l31.f15=', l31.f15);
    WRITELN('l31.f16=', l31.f16);
    WRITELN('l31.f17=', l31.f17);
    WRITELN('l31.f18=', l31.f18);
    WRITELN('l31.f19=', BYTE(l31.f19));
    WRITELN('l31.f20=', l31.f20);
    WRITELN('l32[3]=', l32[3]);
    WRITELN('l32[4]=', l32[4]);
    WRITELN('l32[5]=', l32[5]);
    WRITELN('l33.f15=', l33.f15);
    WRITELN('l33.f16=', l33.f16);
    WRITELN('l33.f17=', l33.f17);
    WRITELN('l33.f18=', l33.f18);
    WRITELN('l33.f19=', BYTE(l33.f19));
    WRITELN('l33.f20=', l33.f20);
  END;
BEGIN
  g23.f15 := 'l';
  g23.f16 := (100000 MOD (-99));
  g23.f17 := (POS('Hello', ('ab' + '')) OR 23);
  g23.f18 := ((70000 MOD 316) + 813);
  g23.f19 := C3;
  g23.f20 := 96;
  g24 := 7511;
  NEW(g25);
  g25^.f15 := SUCC('p');
  g25^.f16 := (-1000);
  g25^.f17 := (((-1000) + 222) - (-65));
  g25^.f18 := 1000;
  g25^.f19 := g23.f19;
  g25^.f20 := 2;
  g26[3] := (((g23.f17 + 7) MOD (LENGTH('QQ') * 3)) + 6455);
  g26[4] := ((((73566 - (-154)) * (LENGTH((g23.f15 + 'xyz')) DIV ((g23.f18 MOD 13) + 4))) MOD 11507)
      + 47558);
  g26[5] := 59039;
  g27 := PRED(g25^.f15);
  P28((ABS((g25^.f16 MOD 16)) + 4), 30);
  g26 := g26;
  g23.f16 := (-13450);
  FOR i38 := 7 TO (ABS((g25^.f17 MOD 4)) + 11) DO BEGIN
    IF ((g25 = g25) AND ((NOT (g25^.f15 IN ['f', 'H', 'v'..'~'])) OR (((g23.f17 = g23.f17) OR TRUE) XOR
        (g27 <= g25^.f15)))) THEN BEGIN
      k39 := 0;
      REPEAT
        k39 := k39 + 1;
        g26 := g26;
      UNTIL (k39 >= 9) OR (LENGTH((g25^.f15 + 'xyz')) <= 4);
    END;
    g25^.f19 := g23.f19;
    k40 := 0;
    WHILE (k40 < 8) AND (g26[(ABS(((g25^.f18 + (-300)) MOD 3)) + 3)] <= 30000) DO BEGIN
      k40 := k40 + 1;
      k41 := 0;
      WHILE (k41 < 9) AND ((i38 IN [89]) OR (TRUE = (g25^.f15 <= g25^.f15))) DO BEGIN
        k41 := k41 + 1;
        g26[((NOT (-2)) + 2)] := (((ABS((g23.f16 MOD 19)) - 386) MOD ((-1) + 5)) + 14762);
      END;
    END;
  END;
  WRITELN('g23.f15=', g23.f15);
  WRITELN('g23.f16=', g23.f16);
  WRITELN('g23.f17=', g23.f17);
  WRITELN('g23.f18=', g23.f18);
  WRITELN('g23.f19=', BYTE(g23.f19));
  WRITELN('g23.f20=', g23.f20);
  WRITELN('g24=', g24);
  WRITELN('g25^.f15=', g25^.f15);
  WRITELN('g25^.f16=', g25^.f16);
  WRITELN('g25^.f17=', g25^.f17);
  WRITELN('g25^.f18=', g25^.f18);
  WRITELN('g25^.f19=', BYTE(g25^.f19));
  WRITELN('g25^.f20=', g25^.f20);
  WRITELN('g26[3]=', g26[3]);
  WRITELN('g26[4]=', g26[4]);
  WRITELN('g26[5]=', g26[5]);
  WRITELN('g27=', g27);
END.
