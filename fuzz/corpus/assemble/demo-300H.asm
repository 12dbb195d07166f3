; { DEMO: a small program to start from. Compile
; run it with build/vorax-sim examples/DEMO.asm 
; PROGRAM DEMO;
\ram	equ	(\eoc+1)/2*2
	dl	program,\ram
program:bsr	\lnkfre
	bsr	\DEMO
	bra	\halt
;
	db	"KESTRIL Ver 1.00  2026/12/07"
\date:	db	29,"compiled: 2026/12/07 20:52:10"
;
	org	($+15)/16*16
; CONST
; COUNT = 10;
; VAR
; I: INTEGER;
; TOTAL: LONGINT;
; NAME: STRING[16];
; 
; FUNCTION SQUARE(N: LONGINT): LONGINT;
; BEGIN
SQUARE.11:
	mov.l	r0,@-sp
	mov.b	#1,r0
	bsr	\slset
; SQUARE := N * N
; END;
	mov.l	@(12,fp),r0
	mov.l	r0,@-sp
	mov.l	r0,@-sp
	bsr	\mul
	mov.l	r0,@(4,fp)
\exitl4:mov.l	fp,sp
	mov.l	@sp+,fp
	mov.l	@sp+,r0
	mov.l	@sp+,r1
	adds	#4,sp
	jmp	@r1
; 
; PROCEDURE SHOW(LABELTEXT: STRING; VALUE: LONGI
; BEGIN
SHOW.16:mov.b	#1,r0
	bsr	\slset
; WRITELN(LABELTEXT, ' = ', VALUE)
	lea	@(12,fp),r0
	mov.l	r0,@-sp
	bsr	\lods
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\writes
	bsr	\lodsi
	db	  3,' = '
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\writes
	mov.l	@(8,fp),r0
	mov.l	r0,@-sp
	bsr	\str
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\wrtlns
; END;
	mov.l	fp,sp
	mov.l	@sp+,fp
	mov.l	@sp+,r1
	add.l	#260,sp
	jmp	@r1
; 
; BEGIN
\DEMO:	mov.l	\ram+12,r0
	mov.l	r0,@-sp
	mov.l	fp,@-sp
	mov.l	sp,fp
	mov.l	fp,\ram+12
	mov.l	fp,@-sp
	sub.l	#24,sp
; NAME := 'squares';
	lea	@(-28,fp),r0
	mov.l	r0,@-sp
	bsr	\movsi
	db	  7,'squares'
; TOTAL := 0;
	xor.l	r0,r0
	mov.l	r0,@(-10,fp)
; FOR I := 1 TO COUNT DO
	mov.w	#1,r0
	mov.w	r0,@(-6,fp)
; TOTAL := TOTAL + SQUARE(I);
$4:	mov.w	@(-6,fp),r0
	exts.l	r0
	mov.l	r0,@-sp
	bsr	SQUARE.11
	mov.l	@(-10,fp),r1
	add.l	r0,r1
	mov.l	r1,@(-10,fp)
	mov.w	@(-6,fp),r0
	inc.w	#1,r0
	mov.w	r0,@(-6,fp)
	cmp.w	#10,r0
	ble	$4
; SHOW('sum of ' + NAME, TOTAL);
	bsr	\lodsi
	db	  7,'sum of '
	lea	@(-28,fp),r0
	mov.l	r0,@-sp
	bsr	\adds
	mov.l	@(-10,fp),r0
	mov.l	r0,@-sp
	bsr	SHOW.16
; I := 0;
	xor.w	r0,r0
$17:	mov.w	r0,@(-6,fp)
; WHILE I < 3 DO
	cmp.w	#3,r0
	bge	$8
; BEGIN
; IF ODD(I) THEN WRITELN(I, ' is odd') ELSE WRIT
	exts.l	r0
	mov.w	@(-6,fp),r1
	btst	#0,r1
	beq	$11
	mov.l	r0,@-sp
	bsr	\str
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\writes
	bsr	\lodsi
	db	  7,' is odd'
	bra	$16
$11:	mov.l	r0,@-sp
	bsr	\str
	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\writes
	bsr	\lodsi
	db	  8,' is even '
$16:	mov.l	#\con,r0
	mov.l	r0,@-sp
	bsr	\wrtlns
; I := I + 1
; END
	mov.w	@(-6,fp),r0
	inc.w	#1,r0
; END.
	bra	$17
$8:	mov.l	fp,sp
	mov.l	@sp+,fp
	mov.l	@sp+,r0
	mov.l	r0,\ram+12
	rts
\eoc	equ	($+1)/2*2
; (pas lines) 33
; (asm lines) 121-11=110
	end
