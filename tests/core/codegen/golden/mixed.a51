; Язык - Ассемблер микропроцессоров семейства intel8051.
; (Компилируйте пакетом X8051)
;**********************************************
; Эта библиотека была создана пакетом "Vemo 3"
; Пример использования в файле EXAMPLE.a51
; Необходима библиотека mathFIX.a51
;**********************************************
; Расчитано для такта работы 0.010 сек
	.inc	mathFIX.a51
	.equ	MemBase, 064h	; адрес в IRAM блока переменных
	.equ	Input0, MemBase+0
	.equ	Input1, MemBase+4
	.equ	Output0, MemBase+8
	.equ	Output1, MemBase+12
	.equ	AccFIX, MemBase+16
	.equ	XDATA, 3400h	; внешний адрес массивов данных
	.equ	NDSum3, MemBase+20	; Отрицательный сумматор
	.equ	Rele2StateG2, MemBase+24	; Двухпозиционное реле с гистерезисом
	.equ	Rele2StateG2OnOff, MemBase+28
	.equ	Luft1, MemBase+32	; Люфт
	.equ	Propor0, MemBase+36	; Звено задержки
	.equ	Count, MemBase+40	; счетчик циклов
	.equ	Propor0Buf, XDATA+0
	.equ	Inertion4, MemBase+42	; Апериодическое звено
	.equ	Inertion4Old, MemBase+46
	.equ	Z1, MemBase+50
;*************************
; Процедура инициализации
;*************************
Initialization:
	mov	NDSum3,#000h
	mov	NDSum3+1,#000h
	mov	NDSum3+2,#000h
	mov	NDSum3+3,#000h
	mov	Rele2StateG2,#000h
	mov	Rele2StateG2+1,#000h
	mov	Rele2StateG2+2,#000h
	mov	Rele2StateG2+3,#000h
	mov	Rele2StateG2OnOff,#000h
	mov	Rele2StateG2OnOff+1,#000h
	mov	Rele2StateG2OnOff+2,#000h
	mov	Rele2StateG2OnOff+3,#000h
	mov	Luft1,#000h
	mov	Luft1+1,#000h
	mov	Luft1+2,#000h
	mov	Luft1+3,#000h
	mov	Propor0,#000h
	mov	Propor0+1,#000h
	mov	Propor0+2,#000h
	mov	Propor0+3,#000h
	mov	Count,#004h
	mov	Count+1,#000h
Loop1:
	mov	A,Count
	orl	A,Count+1
	jnz	Loop1B
	ljmp	Loop1X
Loop1B:
	mov	AccFIX,#000h
	mov	AccFIX+1,#000h
	mov	AccFIX+2,#000h
	mov	AccFIX+3,#000h
	mov	DPTR,#(Propor0Buf-4)
	mov	R2,Count
	mov	R3,Count+1
	lcall	idxFIX
	lcall	stxFIX
	mov	A,Count
	jnz	Loop1D
	dec	Count+1
Loop1D:
	dec	Count
	ljmp	Loop1
Loop1X:
	mov	Inertion4,#000h
	mov	Inertion4+1,#000h
	mov	Inertion4+2,#000h
	mov	Inertion4+3,#000h
	mov	Inertion4Old,#000h
	mov	Inertion4Old+1,#000h
	mov	Inertion4Old+2,#000h
	mov	Inertion4Old+3,#000h
	ret
;**********************************************************
; Процедура регулятора
; Входы Input.. и выходы Output.. - величины в формате FIX
;**********************************************************
Controller:
; NDSum3
	mov	NDSum3,Input0
	mov	NDSum3+1,Input0+1
	mov	NDSum3+2,Input0+2
	mov	NDSum3+3,Input0+3
	mov	AccFIX,NDSum3
	mov	AccFIX+1,NDSum3+1
	mov	AccFIX+2,NDSum3+2
	mov	AccFIX+3,NDSum3+3
	mov	R4,Input1
	mov	R5,Input1+1
	mov	R6,Input1+2
	mov	R7,Input1+3
	lcall	subFIX
	mov	NDSum3,AccFIX
	mov	NDSum3+1,AccFIX+1
	mov	NDSum3+2,AccFIX+2
	mov	NDSum3+3,AccFIX+3
; Rele2StateG2
	mov	AccFIX,Rele2StateG2OnOff
	mov	AccFIX+1,Rele2StateG2OnOff+1
	mov	AccFIX+2,Rele2StateG2OnOff+2
	mov	AccFIX+3,Rele2StateG2OnOff+3
	mov	R4,#000h
	mov	R5,#000h
	mov	R6,#000h
	mov	R7,#000h
	lcall	cmpFIX
	jnz	Then3
	ljmp	If2E
Then3:
	mov	AccFIX,NDSum3
	mov	AccFIX+1,NDSum3+1
	mov	AccFIX+2,NDSum3+2
	mov	AccFIX+3,NDSum3+3
	mov	R4,#0CDh
	mov	R5,#0CCh
	mov	R6,#0FFh
	mov	R7,#0FFh
	lcall	cmpFIX
	xrl	A,#1
	jnz	Then5
	ljmp	If4E
Then5:
	mov	Rele2StateG2OnOff,#000h
	mov	Rele2StateG2OnOff+1,#000h
	mov	Rele2StateG2OnOff+2,#000h
	mov	Rele2StateG2OnOff+3,#000h
If4E:
	ljmp	If2X
If2E:
	mov	AccFIX,NDSum3
	mov	AccFIX+1,NDSum3+1
	mov	AccFIX+2,NDSum3+2
	mov	AccFIX+3,NDSum3+3
	mov	R4,#033h
	mov	R5,#033h
	mov	R6,#000h
	mov	R7,#000h
	lcall	cmpFIX
	xrl	A,#0FFh
	jnz	Then7
	ljmp	If6E
Then7:
	mov	Rele2StateG2OnOff,#000h
	mov	Rele2StateG2OnOff+1,#000h
	mov	Rele2StateG2OnOff+2,#001h
	mov	Rele2StateG2OnOff+3,#000h
If6E:
If2X:
	mov	AccFIX,Rele2StateG2OnOff
	mov	AccFIX+1,Rele2StateG2OnOff+1
	mov	AccFIX+2,Rele2StateG2OnOff+2
	mov	AccFIX+3,Rele2StateG2OnOff+3
	mov	R4,#000h
	mov	R5,#000h
	mov	R6,#000h
	mov	R7,#000h
	lcall	cmpFIX
	jnz	Then9
	ljmp	If8E
Then9:
	mov	Rele2StateG2,#000h
	mov	Rele2StateG2+1,#000h
	mov	Rele2StateG2+2,#001h
	mov	Rele2StateG2+3,#000h
	ljmp	If8X
If8E:
	mov	Rele2StateG2,#000h
	mov	Rele2StateG2+1,#000h
	mov	Rele2StateG2+2,#0FFh
	mov	Rele2StateG2+3,#0FFh
If8X:
; Luft1
	mov	Z1,Luft1
	mov	Z1+1,Luft1+1
	mov	Z1+2,Luft1+2
	mov	Z1+3,Luft1+3
	mov	AccFIX,Z1
	mov	AccFIX+1,Z1+1
	mov	AccFIX+2,Z1+2
	mov	AccFIX+3,Z1+3
	mov	R4,#09Ah
	mov	R5,#019h
	mov	R6,#000h
	mov	R7,#000h
	lcall	addFIX
	mov	Z1,AccFIX
	mov	Z1+1,AccFIX+1
	mov	Z1+2,AccFIX+2
	mov	Z1+3,AccFIX+3
	mov	AccFIX,Rele2StateG2
	mov	AccFIX+1,Rele2StateG2+1
	mov	AccFIX+2,Rele2StateG2+2
	mov	AccFIX+3,Rele2StateG2+3
	mov	R4,Z1
	mov	R5,Z1+1
	mov	R6,Z1+2
	mov	R7,Z1+3
	lcall	cmpFIX
	xrl	A,#1
	jz	Then11
	ljmp	If10E
Then11:
	mov	Luft1,Rele2StateG2
	mov	Luft1+1,Rele2StateG2+1
	mov	Luft1+2,Rele2StateG2+2
	mov	Luft1+3,Rele2StateG2+3
	mov	AccFIX,Luft1
	mov	AccFIX+1,Luft1+1
	mov	AccFIX+2,Luft1+2
	mov	AccFIX+3,Luft1+3
	mov	R4,#09Ah
	mov	R5,#019h
	mov	R6,#000h
	mov	R7,#000h
	lcall	subFIX
	mov	Luft1,AccFIX
	mov	Luft1+1,AccFIX+1
	mov	Luft1+2,AccFIX+2
	mov	Luft1+3,AccFIX+3
	ljmp	If10X
If10E:
	mov	Z1,Luft1
	mov	Z1+1,Luft1+1
	mov	Z1+2,Luft1+2
	mov	Z1+3,Luft1+3
	mov	AccFIX,Z1
	mov	AccFIX+1,Z1+1
	mov	AccFIX+2,Z1+2
	mov	AccFIX+3,Z1+3
	mov	R4,#09Ah
	mov	R5,#019h
	mov	R6,#000h
	mov	R7,#000h
	lcall	subFIX
	mov	Z1,AccFIX
	mov	Z1+1,AccFIX+1
	mov	Z1+2,AccFIX+2
	mov	Z1+3,AccFIX+3
	mov	AccFIX,Rele2StateG2
	mov	AccFIX+1,Rele2StateG2+1
	mov	AccFIX+2,Rele2StateG2+2
	mov	AccFIX+3,Rele2StateG2+3
	mov	R4,Z1
	mov	R5,Z1+1
	mov	R6,Z1+2
	mov	R7,Z1+3
	lcall	cmpFIX
	xrl	A,#0FFh
	jz	Then13
	ljmp	If12E
Then13:
	mov	Luft1,Rele2StateG2
	mov	Luft1+1,Rele2StateG2+1
	mov	Luft1+2,Rele2StateG2+2
	mov	Luft1+3,Rele2StateG2+3
	mov	AccFIX,Luft1
	mov	AccFIX+1,Luft1+1
	mov	AccFIX+2,Luft1+2
	mov	AccFIX+3,Luft1+3
	mov	R4,#09Ah
	mov	R5,#019h
	mov	R6,#000h
	mov	R7,#000h
	lcall	addFIX
	mov	Luft1,AccFIX
	mov	Luft1+1,AccFIX+1
	mov	Luft1+2,AccFIX+2
	mov	Luft1+3,AccFIX+3
If12E:
If10X:
; Propor0
	mov	Count,#003h
	mov	Count+1,#000h
Loop14:
	mov	A,Count
	orl	A,Count+1
	jnz	Loop14B
	ljmp	Loop14X
Loop14B:
	mov	DPTR,#(Propor0Buf-4)
	mov	R2,Count
	mov	R3,Count+1
	lcall	idxFIX
	lcall	ldxFIX
	mov	Propor0,AccFIX
	mov	Propor0+1,AccFIX+1
	mov	Propor0+2,AccFIX+2
	mov	Propor0+3,AccFIX+3
	mov	AccFIX,Propor0
	mov	AccFIX+1,Propor0+1
	mov	AccFIX+2,Propor0+2
	mov	AccFIX+3,Propor0+3
	mov	DPTR,#(Propor0Buf+0)
	mov	R2,Count
	mov	R3,Count+1
	lcall	idxFIX
	lcall	stxFIX
	mov	A,Count
	jnz	Loop14D
	dec	Count+1
Loop14D:
	dec	Count
	ljmp	Loop14
Loop14X:
	mov	AccFIX,Luft1
	mov	AccFIX+1,Luft1+1
	mov	AccFIX+2,Luft1+2
	mov	AccFIX+3,Luft1+3
	mov	DPTR,#(Propor0Buf+0)
	lcall	stxFIX
	mov	DPTR,#(Propor0Buf+12)
	lcall	ldxFIX
	mov	Propor0,AccFIX
	mov	Propor0+1,AccFIX+1
	mov	Propor0+2,AccFIX+2
	mov	Propor0+3,AccFIX+3
	mov	AccFIX,Propor0
	mov	AccFIX+1,Propor0+1
	mov	AccFIX+2,Propor0+2
	mov	AccFIX+3,Propor0+3
	mov	R4,#000h
	mov	R5,#000h
	mov	R6,#002h
	mov	R7,#000h
	lcall	mulFIX
	mov	Propor0,AccFIX
	mov	Propor0+1,AccFIX+1
	mov	Propor0+2,AccFIX+2
	mov	Propor0+3,AccFIX+3
	mov	Output0,Propor0
	mov	Output0+1,Propor0+1
	mov	Output0+2,Propor0+2
	mov	Output0+3,Propor0+3
; Inertion4
	mov	Inertion4,NDSum3
	mov	Inertion4+1,NDSum3+1
	mov	Inertion4+2,NDSum3+2
	mov	Inertion4+3,NDSum3+3
	mov	AccFIX,Inertion4
	mov	AccFIX+1,Inertion4+1
	mov	AccFIX+2,Inertion4+2
	mov	AccFIX+3,Inertion4+3
	mov	R4,Inertion4Old
	mov	R5,Inertion4Old+1
	mov	R6,Inertion4Old+2
	mov	R7,Inertion4Old+3
	lcall	subFIX
	mov	Inertion4,AccFIX
	mov	Inertion4+1,AccFIX+1
	mov	Inertion4+2,AccFIX+2
	mov	Inertion4+3,AccFIX+3
	mov	AccFIX,Inertion4
	mov	AccFIX+1,Inertion4+1
	mov	AccFIX+2,Inertion4+2
	mov	AccFIX+3,Inertion4+3
	mov	R4,#01Fh
	mov	R5,#005h
	mov	R6,#000h
	mov	R7,#000h
	lcall	mulFIX
	mov	Inertion4,AccFIX
	mov	Inertion4+1,AccFIX+1
	mov	Inertion4+2,AccFIX+2
	mov	Inertion4+3,AccFIX+3
	mov	AccFIX,Inertion4
	mov	AccFIX+1,Inertion4+1
	mov	AccFIX+2,Inertion4+2
	mov	AccFIX+3,Inertion4+3
	mov	R4,Inertion4Old
	mov	R5,Inertion4Old+1
	mov	R6,Inertion4Old+2
	mov	R7,Inertion4Old+3
	lcall	addFIX
	mov	Inertion4,AccFIX
	mov	Inertion4+1,AccFIX+1
	mov	Inertion4+2,AccFIX+2
	mov	Inertion4+3,AccFIX+3
	mov	Inertion4Old,Inertion4
	mov	Inertion4Old+1,Inertion4+1
	mov	Inertion4Old+2,Inertion4+2
	mov	Inertion4Old+3,Inertion4+3
	mov	AccFIX,Inertion4
	mov	AccFIX+1,Inertion4+1
	mov	AccFIX+2,Inertion4+2
	mov	AccFIX+3,Inertion4+3
	mov	R4,#000h
	mov	R5,#080h
	mov	R6,#001h
	mov	R7,#000h
	lcall	mulFIX
	mov	Inertion4,AccFIX
	mov	Inertion4+1,AccFIX+1
	mov	Inertion4+2,AccFIX+2
	mov	Inertion4+3,AccFIX+3
	mov	Output1,Inertion4
	mov	Output1+1,Inertion4+1
	mov	Output1+2,Inertion4+2
	mov	Output1+3,Inertion4+3
	ret
