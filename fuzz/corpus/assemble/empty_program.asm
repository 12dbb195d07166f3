\ram	equ	(\eoc+1)/2*2
	dl	program,\ram
program:bsr	\lnkfre
	bsr	\DEMO
	bra	\halt
;
	db	"KESTRIL 1.0  2026-12-07"
\date:	db	28,"compiled: 2026/12/07 8:30:00"
;
	org	($+15)/16*16
; PROGRAM DEMO; BEGIN END.
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
; (asm lines) 12-0=12
	end
