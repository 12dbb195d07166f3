; {$M $8000,$FF00,$100}
; PROGRAM SMALL;
\ram	equ	h'00008000
\stack	equ	h'0000ff00
\rom	equ	h'00000100
	org	\rom
	dl	program,\ram
program:mov.l	sp,\ram
	mov.l	#\stack,sp
	bsr	\lnkfre
	bsr	\SMALL
	mov.l	\ram,sp
	bra	\halt
;
	db	"KESTRIL Ver 1.00  2026/12/07"
\date:	db	29,"compiled: 2026/12/07 20:52:10"
;
	org	($+15)/16*16
; TYPE
; SHAPE = (ROUND, SQUARE);
; PART = RECORD
; ID: WORD;
; CASE KIND: SHAPE OF
; ROUND: (R: INTEGER);
; SQUARE: (W, H: BYTE)
; END;
; PP = ^PART;
; CONST
; TABLE: ARRAY[0..3] OF BYTE = (1, 2, 4, 8);
\TABLE:	db	  1,  2,  4,  8
; NAME: STRING[5] = 'ABC';
\NAME:	db	  5,'ABC  '
; VAR
; P: PP; Q: PART; I, K: INTEGER; L: LONGINT; C: 
P		equ	\stack-20
Q		equ	\stack-26
I		equ	\stack-28
K		equ	\stack-30
L		equ	\stack-34
C		equ	\stack-35
X		equ	\stack-42
; PROCEDURE TICK; INTERRUPT;
; BEGIN K := K + 1 END;
TICK:	mov.l	r0,@-sp
	mov.l	r1,@-sp
	mov.l	r2,@-sp
	mov.l	r3,@-sp
	mov.l	r4,@-sp
	mov.l	r5,@-sp
	mov.l	r6,@-sp
	mov.l	sp,fp
	mov.l	\ram+12,r0
	mov.l	r0,@-sp
	mov.l	fp,@-sp
	mov.w	K,r0
	inc.w	#1,r0
	mov.w	r0,K
	mov.l	fp,sp
	mov.l	@sp+,r6
	mov.l	@sp+,r5
	mov.l	@sp+,r4
	mov.l	@sp+,r3
	mov.l	@sp+,r2
	mov.l	@sp+,r1
	mov.l	@sp+,r0
	rte
; FUNCTION TWICE(VAR N: INTEGER): INTEGER;
; BEGIN TWICE := N * 2; N := N DIV 3 END;
TWICE.19:
	mov.w	r0,@-sp
	mov.b	#1,r0
	bsr	\slset
	mov.l	@(10,fp),r0
	mov.w	@r0,r1
	shal.w	#1,r1
	mov.w	r1,@(4,fp)
	mov.w	@r0,r1
	exts.l	r1
	mov.l	r1,@-sp
	mov.l	#3,r1
	mov.l	r1,@-sp
	bsr	\div
	mov.l	@(10,fp),r1
	mov.w	r0,@r1
\exitw4:mov.l	fp,sp
	mov.l	@sp+,fp
	mov.w	@sp+,r0
	mov.l	@sp+,r1
	adds	#4,sp
	jmp	@r1
; BEGIN
\SMALL:	mov.l	\ram+12,r0
	mov.l	r0,@-sp
	mov.l	fp,@-sp
	mov.l	sp,fp
	mov.l	fp,\ram+12
	mov.l	fp,@-sp
	sub.l	#26,sp
; NEW(P); P^.ID := 7; P^.KIND := ROUND; P^.R := 
	mov.w	#6,r0
	mov.w	r0,@-sp
	bsr	\new
	mov.l	r0,P
	mov.w	#7,r0
	mov.l	P,r1
	mov.w	r0,@r1
	xor.w	r0,r0
	mov.l	P,r2
	mov.b	r0,@(2,r2)
	mov.w	#-3,r0
	mov.l	P,r3
	mov.w	r0,@(4,r3)
; WITH Q DO BEGIN ID := 1; KIND := SQUARE; W := 
	mov.w	#1,r0
	mov.w	r0,Q
	mov.b	#1,r0
	mov.b	r0,Q+2
	mov.b	#2,r0
	mov.b	r0,Q+4
	mov.b	#3,r0
	mov.b	r0,Q+5
; FOR I := 0 TO 3 DO
	xor.w	r0,r0
	mov.w	r0,I
; IF I IN [1, 3..5] THEN L := L + TABLE[I] ELSE 
$5:	mov.l	L,r0
	mov.w	I,r1
	cmp.w	#1,r1
	beq	$8
	cmp.w	#3,r1
	blt	$7
	cmp.w	#5,r1
	bgt	$7
$8:	mov.w	I,r1
	exts.l	r1
	mov.b	@(\TABLE,r1),r2
	and.l	#255,r2
	add.l	r2,r0
	bra	$12
$7:	dec.l	#1,r0
$12:	mov.l	r0,L
	mov.w	I,r0
	inc.w	#1,r0
	mov.w	r0,I
	cmp.w	#3,r0
	ble	$5
; CASE L OF 0: C := 'A'; 1..9: C := 'B' ELSE C :
	mov.l	L,r0
	beq	$16
	cmp.l	#1,r0
	blt	$21
	cmp.l	#9,r0
	ble	$18
	bra	$21
; X := L / 3.5; I := TRUNC(X);
$16:	mov.b	#65,r0
	bra	$22
$18:	mov.b	#66,r0
	bra	$22
$21:	mov.b	#67,r0
$22:	mov.b	r0,C
	mov.l	L,r0
	mov.l	r0,@-sp
	bsr	\int2r
	bsr	\lodri
	db	130, 96,  0,  0,  0,  0
	bsr	\div40
	mov.l	#X,r0
	mov.l	r0,@-sp
	bsr	\storer
	mov.l	#X,r0
	mov.l	r0,@-sp
	bsr	\loadr
	bsr	\r2int
$30:	mov.w	r0,I
; WHILE I > 0 DO I := I SHR 1;
	ble	$28
	shlr.w	#1,r0
	bra	$30
; REPEAT K := K + TWICE(I) + 1 UNTIL K > 100;
$28:	mov.l	#I,r0
	mov.l	r0,@-sp
	bsr	TWICE.19
	mov.w	K,r1
	add.w	r0,r1
	inc.w	#1,r1
	mov.w	r1,r0
	mov.w	r0,K
	cmp.w	#100,r0
	ble	$28
; WRITELN(NAME, ' ', L, C, X:8:2, P^.R);
	mov.l	#\NAME,r0
	mov.l	r0,@-sp
	bsr	\lods
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\writes
	mov.w	#32,r0
	mov.w	r0,@-sp
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\tch
	mov.l	L,r0
	mov.l	r0,@-sp
	bsr	\str
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\writes
	mov.b	C,r0
	extu.w	r0
	mov.w	r0,@-sp
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\tch
	sub.l	#256,sp
	mov.l	#X,r0
	mov.l	r0,@-sp
	bsr	\loadr
	mov.l	#h'00020008,r0
	mov.l	r0,@-sp
	bsr	\r2asc
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\writes
	mov.l	P,r0
	mov.w	@(4,r0),r1
	exts.l	r1
	mov.l	r1,@-sp
	bsr	\str
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\wrtlns
; DISPOSE(P)
; END.
	mov.l	P,r0
	mov.l	r0,@-sp
	mov.w	#6,r0
	mov.w	r0,@-sp
	bsr	\dispose
	mov.l	fp,sp
	mov.l	@sp+,fp
	mov.l	@sp+,r0
	mov.l	r0,\ram+12
	rts
\eoc	equ	($+1)/2*2
; (pas lines) 32
; (asm lines) 208-14=194
	end
