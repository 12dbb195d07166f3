PROGRAM RND8;
CONST
  TS10LO = -100;
TYPE
  TE1 = (C2, C3);
  TE4 = (C5, C6, C7, C8, C9);
  TS10 = TS10LO..100;
  TS11 = 1..10;
  TT12 = STRING[8];
  TT13 = STRING[12];
  TT14 = STRING;
  TA15 = ARRAY[1..7] OF INTEGER;
  TR16 = RECORD
    f17: TE4;
    f18: CHAR;
  END;
  TR19 = RECORD
    f20: CHAR;
    f21: TA15;
    f22: INTEGER;
    f23: BOOLEAN;
  END;
  TA24 = ARRAY[0..4] OF TR16;
  TP25 = ^TR16;
  TP26 = ^TR19;
VAR
  g27: CHAR;
  g28: INTEGER;
  g29: LONGINT;
  g30: LONGINT;
  g31: TT13;
  g32: TT12;
  g33: TT14;
  g34: LONGINT;
  g35: BYTE;
  g36: TT13;
  PROCEDURE P37(a38: INTEGER; VAR a39: WORD; a40: BOOLEAN);
  VAR
    l41: CHAR;
    k42: INTEGER;
    k43: INTEGER;
    k44: INTEGER;
    i45: TE1;
    i46: BYTE;
    k47: INTEGER;
  BEGIN
    l41 := 't';
    DELETE(g33, ((ABS(g29) MOD 12) + 1), ABS(((-a38) MOD 6)));
    k42 := 0;
    WHILE (k42 < 3) AND a40 DO BEGIN
      k42 := k42 + 1;
      g34 := BYTE(PRED(C3));
    END;
    CASE ABS((((g34 * (-100)) - (BYTE(SUCC(C8)) AND 2)) MOD 9)) OF
      2..7, -3: BEGIN
        IF ((FALSE AND a40) OR ((NOT (3 IN [16, 201])) OR ((-32768) <= (-32768)))) THEN BEGIN
          g34 := 30000;
        END
        ELSE BEGIN
          a38 := (ABS((((NOT ((10 * a38) OR 1)) + (-189)) MOD 2)) + 13);
          g35 := (ABS(((NOT ((ABS(((((35129 + g30) - (127 * ((256 MOD 89) - 72))) - 16) MOD 6)) + 87)
              SHL 6)) MOD 168)) + 41);
        END;
        g29 := (ABS(((((-((256 - (-2)) + (g28 - (-234)))) OR 52) - ((g30 AND 127) + (-1))) MOD 9)) +
            17305);
      END;
      ELSE BEGIN
        IF (NOT (((((ORD(g27) * 200) + ((-32768) MOD 16)) MOD 20) + 183) IN [170])) THEN BEGIN
          IF TRUE THEN BEGIN
            g31 := g31;
          END;
          CASE (ABS((((g28 - g29) AND (-7)) MOD 2)) + 7) OF
            8, 5, 9: BEGIN
              g30 := (128 - LENGTH(g36));
            END
          END;
        END;
      END
    END;
    g31 := g33;
    k43 := 0;
    WHILE (k43 < 4) AND (C7 = C8) DO BEGIN
      k43 := k43 + 1;
      DELETE(g33, ((((ABS((g34 MOD 12)) + 1693) XOR LENGTH(COPY(g32, (100 - 91), 6))) MOD 4) + 1), ((g35
          OR 7) MOD 7));
    END;
    g35 := (((70000 + a38) MOD 170) + 72);
    IF (((g28 >= ((g29 MOD 4) + 6664)) OR (g32 <= g33)) AND ODD(((-968) - ((4096 MOD 1765) - 786))))
        THEN BEGIN
      WRITE(' ', g27, ' ', (NOT (618 MOD (-23))));
      a39 := (ABS((((g29 MOD 512) - 510) MOD 8998)) + 26056);
    END;
    g29 := g29;
    a39 := (((ABS(((ABS((g34 MOD 14)) + 3416) XOR 241)) + (-(-g28))) MOD (-128)) + 1838);
    WRITELN(' ', (127 OR (BYTE(TE4(ABS((g30 MOD 2)))) DIV 5)), ' ', 255, ' ', g31);
    k44 := 0;
    WHILE (k44 < 6) AND (((l41 IN ['Z', '=']) OR a40) OR (NOT a40)) DO BEGIN
      k44 := k44 + 1;
      STR((ABS(((((-143) DIV (165 - 150)) - (g30 - (-100))) MOD 22034)) + 719002236), g33);
    END;
    WRITELN('a38=', a38);
    WRITELN('a39=', a39);
    WRITE('a40=');
    IF a40 THEN WRITE('T') ELSE WRITE('F');
    WRITELN;
    WRITELN('l41=', l41);
  END;
BEGIN
  g27 := CHR(((32767 MOD 68) + 31));
  g28 := (1 MOD (((BYTE(TE1(1)) * 256) MOD 25) + 34));
  g29 := (ABS(((((32767 - 32468) MOD (ABS((g28 MOD 11)) - 39)) * (-2)) MOD 341)) + 39390);
  g30 := g28;
  g31 := '';
  g32 := g27;
  g33 := g31;
  g34 := 0;
  g35 := (ABS(((g30 DIV 128) MOD 14)) + 41);
  g36 := g31;
  g30 := (g35 + (-100));
  STR((g29 + 43638), g31);
  g30 := 7;
  g28 := g35;
  WRITELN('g27=', g27);
  WRITELN('g28=', g28);
  WRITELN('g29=', g29);
  WRITELN('g30=', g30);
  WRITELN('g31=', g31);
  WRITELN('g32=', g32);
  WRITELN('g33=', g33);
  WRITELN('g34=', g34);
  WRITELN('g35=', g35);
  WRITELN('g36=', g36);
END.
