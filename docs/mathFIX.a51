; mathFIX.a51 - fixed-point routines for the Asm51 controllers Vemo writes.
;
; A FIX number is a 32-bit two's complement value with 16 integer and 16
; fraction bits (value = number / 65536, resolution 1/65536, range
; -32768 .. 32767.99998), stored least significant byte first.
;
; The generated module defines AccFIX, the 4-byte accumulator in internal
; RAM, and includes this file. Every routine works on AccFIX; the second
; operand, where there is one, is in R7:R6:R5:R4 (R4 least significant).
;
;   addFIX  AccFIX := AccFIX + R    (held at the ends of the range)
;   subFIX  AccFIX := AccFIX - R    (held at the ends of the range)
;   mulFIX  AccFIX := AccFIX * R    (rounded to nearest, held at the ends)
;   divFIX  AccFIX := AccFIX / R    (rounded to nearest; R = 0 gives the
;                                    end of the range with AccFIX's sign)
;   negFIX  AccFIX := -AccFIX
;   absFIX  AccFIX := |AccFIX|
;   cmpFIX  A := 1, 0 or 0FFh as AccFIX is greater than, equal to or less
;           than R (signed)
;   idxFIX  DPTR := DPTR + 4 * R3:R2 (an element of an array)
;   ldxFIX  AccFIX := the FIX number at DPTR in external RAM
;   stxFIX  the FIX number at DPTR in external RAM := AccFIX
;   ldcFIX  AccFIX := the FIX number at DPTR in code memory
;
; The routines use A, B, DPTR, R0..R7 of register bank 0 and, as scratch,
; internal RAM 08h..1Dh (register banks 1 to 3): the program keeps its
; stack above 1Fh (for example SP = 2Fh) and register bank 0 selected.
; R4..R7 are not kept.
;
; Written for the as31 assembler (.equ, .inc).

	.equ	FixP, 08h	; 8-byte product; the divider's remainder
	.equ	FixB, 10h	; |second operand|
	.equ	FixBj, 14h	; the operand byte being multiplied
	.equ	FixC, 15h	; carry byte of the multiplication
	.equ	FixJ, 16h	; loop counter
	.equ	FixSgn, 17h	; sign of the result in bit 7
	.equ	FixD, 18h	; 6-byte dividend, then quotient

; --- Addition and subtraction, held at the ends on overflow. ---
addFIX:	mov	A,AccFIX
	add	A,R4
	mov	AccFIX,A
	mov	A,AccFIX+1
	addc	A,R5
	mov	AccFIX+1,A
	mov	A,AccFIX+2
	addc	A,R6
	mov	AccFIX+2,A
	mov	A,AccFIX+3
	addc	A,R7
	mov	AccFIX+3,A
	jb	OV,satFIX
	ret

subFIX:	clr	C
	mov	A,AccFIX
	subb	A,R4
	mov	AccFIX,A
	mov	A,AccFIX+1
	subb	A,R5
	mov	AccFIX+1,A
	mov	A,AccFIX+2
	subb	A,R6
	mov	AccFIX+2,A
	mov	A,AccFIX+3
	subb	A,R7
	mov	AccFIX+3,A
	jb	OV,satFIX
	ret

; After an overflow A holds the wrapped top byte: its sign is the opposite
; of the true result's.
satFIX:	jb	ACC.7,satPos
satNeg:	mov	AccFIX,#0
	mov	AccFIX+1,#0
	mov	AccFIX+2,#0
	mov	AccFIX+3,#80h
	ret
satPos:	mov	AccFIX,#0FFh
	mov	AccFIX+1,#0FFh
	mov	AccFIX+2,#0FFh
	mov	AccFIX+3,#7Fh
	ret

; --- Sign. ---
negFIX:	clr	C
	clr	A
	subb	A,AccFIX
	mov	AccFIX,A
	clr	A
	subb	A,AccFIX+1
	mov	AccFIX+1,A
	clr	A
	subb	A,AccFIX+2
	mov	AccFIX+2,A
	clr	A
	subb	A,AccFIX+3
	mov	AccFIX+3,A
	ret

absFIX:	mov	A,AccFIX+3
	jnb	ACC.7,absF1
	ljmp	negFIX
absF1:	ret

; R7:R6:R5:R4 := -R7:R6:R5:R4
negR:	clr	C
	clr	A
	subb	A,R4
	mov	R4,A
	clr	A
	subb	A,R5
	mov	R5,A
	clr	A
	subb	A,R6
	mov	R6,A
	clr	A
	subb	A,R7
	mov	R7,A
	ret

; --- Comparison: the top bytes with their sign bits flipped compare as
; unsigned numbers. ---
cmpFIX:	clr	C
	mov	A,AccFIX
	subb	A,R4
	mov	B,A
	mov	A,AccFIX+1
	subb	A,R5
	orl	B,A
	mov	A,AccFIX+2
	subb	A,R6
	orl	B,A
	mov	A,R7
	xrl	A,#80h
	mov	R3,A
	mov	A,AccFIX+3
	xrl	A,#80h
	subb	A,R3
	orl	A,B
	jc	cmpLess
	jz	cmpEq
	mov	A,#1
	ret
cmpLess:	mov	A,#0FFh
	ret
cmpEq:	clr	A
	ret

; Signs of both operands into FixSgn, both made positive.
signs:	mov	A,AccFIX+3
	xrl	A,R7
	mov	FixSgn,A
	lcall	absFIX
	mov	A,R7
	jnb	ACC.7,signs1
	lcall	negR
signs1:	ret

; The sign of FixSgn given to the positive result in AccFIX.
setSign:	mov	A,FixSgn
	jnb	ACC.7,setS1
	ljmp	negFIX
setS1:	ret

; The largest magnitude with the sign of FixSgn.
overflow:	mov	AccFIX,#0FFh
	mov	AccFIX+1,#0FFh
	mov	AccFIX+2,#0FFh
	mov	AccFIX+3,#7Fh
	ljmp	setSign

; --- Multiplication: |a| * |b| as a 64-bit product, bits 16..47 rounded
; by bit 15, then the sign. ---
mulFIX:	lcall	signs
	mov	FixB,R4
	mov	FixB+1,R5
	mov	FixB+2,R6
	mov	FixB+3,R7
	mov	R0,#FixP
	mov	R2,#8
mulF1:	mov	@R0,#0
	inc	R0
	djnz	R2,mulF1
	mov	FixJ,#0
mulF2:	mov	A,#FixB		; FixBj := b[j]
	add	A,FixJ
	mov	R0,A
	mov	A,@R0
	mov	FixBj,A
	mov	FixC,#0
	mov	A,#FixP		; R1 -> P[j]
	add	A,FixJ
	mov	R1,A
	mov	R0,#AccFIX	; R0 -> a[0]
	mov	R2,#4
mulF3:	mov	A,@R0		; P[i+j] += a[i] * b[j] + carry
	mov	B,FixBj
	mul	AB
	add	A,@R1
	jnc	mulF4
	inc	B
mulF4:	add	A,FixC
	jnc	mulF5
	inc	B
mulF5:	mov	@R1,A
	mov	FixC,B
	inc	R0
	inc	R1
	djnz	R2,mulF3
	mov	@R1,FixC	; P[j+4] := carry
	inc	FixJ
	mov	A,FixJ
	cjne	A,#4,mulF2
	mov	A,FixP+1	; C := the rounding bit
	rlc	A
	mov	A,FixP+2
	addc	A,#0
	mov	AccFIX,A
	mov	A,FixP+3
	addc	A,#0
	mov	AccFIX+1,A
	mov	A,FixP+4
	addc	A,#0
	mov	AccFIX+2,A
	mov	A,FixP+5
	addc	A,#0
	mov	AccFIX+3,A
	jc	mulOvf
	mov	A,FixP+6
	orl	A,FixP+7
	jnz	mulOvf
	mov	A,AccFIX+3
	jb	ACC.7,mulOvf
	ljmp	setSign
mulOvf:	ljmp	overflow

; --- Division: (|a| << 16) / |b| by shift and subtract over 48 bits,
; rounded by comparing twice the remainder with |b|, then the sign. ---
divFIX:	lcall	signs
	mov	A,R4
	orl	A,R5
	orl	A,R6
	orl	A,R7
	jnz	divF0
	ljmp	overflow
divF0:	mov	FixD,#0
	mov	FixD+1,#0
	mov	FixD+2,AccFIX
	mov	FixD+3,AccFIX+1
	mov	FixD+4,AccFIX+2
	mov	FixD+5,AccFIX+3
	mov	R0,#FixP
	mov	R2,#5
divF1:	mov	@R0,#0
	inc	R0
	djnz	R2,divF1
	mov	FixJ,#48
divF2:	clr	C		; remainder:dividend <<= 1
	mov	R0,#FixD
	mov	R2,#6
divF3:	mov	A,@R0
	rlc	A
	mov	@R0,A
	inc	R0
	djnz	R2,divF3
	mov	R0,#FixP
	mov	R2,#5
divF4:	mov	A,@R0
	rlc	A
	mov	@R0,A
	inc	R0
	djnz	R2,divF4
	clr	C		; remainder - |b| into R0..R3, B
	mov	A,FixP
	subb	A,R4
	mov	R0,A
	mov	A,FixP+1
	subb	A,R5
	mov	R1,A
	mov	A,FixP+2
	subb	A,R6
	mov	R2,A
	mov	A,FixP+3
	subb	A,R7
	mov	R3,A
	mov	A,FixP+4
	subb	A,#0
	jc	divF5		; remainder < |b|: quotient bit 0
	mov	FixP+4,A
	mov	FixP,R0
	mov	FixP+1,R1
	mov	FixP+2,R2
	mov	FixP+3,R3
	orl	FixD,#1
divF5:	djnz	FixJ,divF2
	clr	C		; C := 2 * remainder >= |b|
	mov	A,FixP
	rlc	A
	mov	FixP,A
	mov	A,FixP+1
	rlc	A
	mov	FixP+1,A
	mov	A,FixP+2
	rlc	A
	mov	FixP+2,A
	mov	A,FixP+3
	rlc	A
	mov	FixP+3,A
	mov	A,FixP+4
	rlc	A
	mov	FixP+4,A
	clr	C
	mov	A,FixP
	subb	A,R4
	mov	A,FixP+1
	subb	A,R5
	mov	A,FixP+2
	subb	A,R6
	mov	A,FixP+3
	subb	A,R7
	mov	A,FixP+4
	subb	A,#0
	cpl	C
	mov	R0,#FixD	; quotient += C
	mov	R2,#6
divF6:	mov	A,@R0
	addc	A,#0
	mov	@R0,A
	inc	R0
	djnz	R2,divF6
	mov	A,FixD+4	; it must fit in 31 bits
	orl	A,FixD+5
	jnz	divOvf
	mov	A,FixD+3
	jb	ACC.7,divOvf
	mov	AccFIX,FixD
	mov	AccFIX+1,FixD+1
	mov	AccFIX+2,FixD+2
	mov	AccFIX+3,FixD+3
	ljmp	setSign
divOvf:	ljmp	overflow

; --- Arrays. ---
idxFIX:	mov	A,R2		; B:A := 4 * R3:R2
	mov	B,R3
	clr	C
	rlc	A
	xch	A,B
	rlc	A
	xch	A,B
	clr	C
	rlc	A
	xch	A,B
	rlc	A
	xch	A,B
	add	A,DPL
	mov	DPL,A
	mov	A,B
	addc	A,DPH
	mov	DPH,A
	ret

ldxFIX:	mov	R0,#AccFIX
	mov	R2,#4
ldxF1:	movx	A,@DPTR
	mov	@R0,A
	inc	DPTR
	inc	R0
	djnz	R2,ldxF1
	ret

stxFIX:	mov	R0,#AccFIX
	mov	R2,#4
stxF1:	mov	A,@R0
	movx	@DPTR,A
	inc	DPTR
	inc	R0
	djnz	R2,stxF1
	ret

ldcFIX:	mov	R0,#AccFIX
	mov	R2,#4
ldcF1:	clr	A
	movc	A,@A+DPTR
	mov	@R0,A
	inc	DPTR
	inc	R0
	djnz	R2,ldcF1
	ret
