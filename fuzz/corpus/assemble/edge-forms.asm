; assembler forms at the edges of what the chip encodes
\ram	equ	h'8000
	dl	program,\ram
program:	bra	\halt
	org	h'100
	mov.w	@h'1000000,r1
	mov.l	r1,h'1000000
	mov.w	@h'10000,r1
	mov.b	-32769,r1
	jmp	@h'1000000
	bra	h'10000
	bclr	#1,@h'ffffff00
	mov.w	@(h'7ffffffe,sp),r0
	mov.w	@(-2147483650,sp),r0
	mov.l	r0,@(h'1000000,fp)
	mov.w	@(h'10000,r0),r1
	mov.w	@(-32769,r0),r1
	mov.w	@h'ffff10:8,r0
	mov.l	r0,@h'ff10:8
	mov.b	@h'1000:8,r0
	mov.w	@h'12345:16,r0
	mov.w	@(h'8000:16,r1),r0
	mov.w	@h'1234:24,r0
	mov.w	@h'1234:32,r0
	mov.w	@(4:8,r1),r0
	bset	#1,@h'ffff10:16
	jmp	@h'100:16
A%B:	nop
A$B:	nop
A#B	nop
$1X:	nop
@:	nop
9LIVES:	nop
日:	nop
SPEED%	equ	1
A:B:	nop
	bra	A$B
	bset #1,@h'ffff10:8
	bset #1,@h'1000:16
	jmp @h'100:24
FINISH:	nop
