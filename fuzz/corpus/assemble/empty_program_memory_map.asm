\ram	equ	h'00008000
\stack	equ	h'0000ff00
\rom	equ	h'00000100
	org	\rom
	dl	program,\ram
program:mov.l	sp,\ram
	mov.l	#\stack,sp
	bsr	\lnkfre
	bsr	\DEMO
	mov.l	\ram,sp
	bra	\halt
;
	db	"KESTRIL 1.0  2026-12-07"
\date:	db	28,"compiled: 2026/12/07 8:30:00"
;
	org	($+15)/16*16
; {$M $8000,$FF00,$100} PROGRAM DEMO; BEGIN END.
\DEMO:	mov.l	\ram+12,r0
	mov.l	r0,@-sp
	mov.l	fp,@-sp
	mov.l	sp,fp
	mov.l	fp,\ram+12
	mov.l	fp,@-sp
	sub.l	#24,sp
	mov.l	fp,sp
	mov.l	@sp+,fp
	mov.l	@sp+,r0
	mov.l	r0,\ram+12
	rts
\eoc	equ	($+1)/2*2
; (pas lines) 1
; (asm lines) 15-0=15
	end
