; Язык - Ассемблер микропроссоров семейства Intel 80x86
; с использованием сопроцессора 80x87
;************************************************************************
; Эта библиотека была создана пакетом "Vemo 3"
; Ее необходимо откомпилировать в OBJ-файл (для C++ без ключа /MX)
; Примеры использования в файлах ASM_EXAM.pas, ASM_EXAM.c и ASM_EXAM.asm
;************************************************************************
; Расчитано для такта работы 0.010 сек
public _Initialization
public _Controller
extrn _Input0 : dword	; Входная переменная
extrn _Input1 : dword	; Входная переменная
extrn _Output0 : dword	; Входная переменная
extrn _Output1 : dword	; Входная переменная
.model	TPASCAL
.286
.287
.code
	Acc		dd	?	; Аккумулятор
	.data
NDSum3	dd	?	; Отрицательный сумматор
Rele2StateG2	dd	?	; Двухпозиционное реле с гистерезисом
Rele2StateG2OnOff	dd	?
Luft1	dd	?	; Люфт
Propor0	dd	?	; Звено задержки
Count	dw	?
Propor0Buf	dd	4 dup (?)
Inertion4	dd	?	; Апериодическое звено
Inertion4Old	dd	?
Z1	dd	?
	.code
;*************************
; процедура инициализации
;*************************
_Initialization	proc	far
	fld	dword ptr Const1
	fstp	dword ptr NDSum3
	fld	dword ptr Const1
	fstp	dword ptr Rele2StateG2
	fld	dword ptr Const1
	fstp	dword ptr Rele2StateG2OnOff
	fld	dword ptr Const1
	fstp	dword ptr Luft1
	fld	dword ptr Const1
	fstp	dword ptr Propor0
	mov	Count, 4
Loop1:
	cmp	Count, 0
	jg	Loop1B
	jmp	Loop1X
Loop1B:
	fld	dword ptr Const1
	mov	bx, Count
	shl	bx, 2
	fstp	dword ptr Propor0Buf[bx-4]
	dec	Count
	jmp	Loop1
Loop1X:
	fld	dword ptr Const1
	fstp	dword ptr Inertion4
	fld	dword ptr Const1
	fstp	dword ptr Inertion4Old
	ret
_Initialization	endp
;**********************
; процедура регулятора
;**********************
_Controller	proc	far
; NDSum3
	fld	dword ptr _Input0
	fstp	dword ptr NDSum3
	fld	dword ptr NDSum3
	fsub	dword ptr _Input1
	fstp	dword ptr NDSum3
; Rele2StateG2
	fld	dword ptr Rele2StateG2OnOff
	fcomp	dword ptr Const1
	fstsw	word ptr Acc
	fwait
	mov	ax, word ptr Acc
	sahf
	jne	Then3
	jmp	If2E
Then3:
	fld	dword ptr NDSum3
	fcomp	dword ptr Const2
	fstsw	word ptr Acc
	fwait
	mov	ax, word ptr Acc
	sahf
	jbe	Then5
	jmp	If4E
Then5:
	fld	dword ptr Const1
	fstp	dword ptr Rele2StateG2OnOff
If4E:
	jmp	If2X
If2E:
	fld	dword ptr NDSum3
	fcomp	dword ptr Const3
	fstsw	word ptr Acc
	fwait
	mov	ax, word ptr Acc
	sahf
	jae	Then7
	jmp	If6E
Then7:
	fld	dword ptr Const4
	fstp	dword ptr Rele2StateG2OnOff
If6E:
If2X:
	fld	dword ptr Rele2StateG2OnOff
	fcomp	dword ptr Const1
	fstsw	word ptr Acc
	fwait
	mov	ax, word ptr Acc
	sahf
	jne	Then9
	jmp	If8E
Then9:
	fld	dword ptr Const4
	fstp	dword ptr Rele2StateG2
	jmp	If8X
If8E:
	fld	dword ptr Const5
	fstp	dword ptr Rele2StateG2
If8X:
; Luft1
	fld	dword ptr Luft1
	fstp	dword ptr Z1
	fld	dword ptr Z1
	fadd	dword ptr Const6
	fstp	dword ptr Z1
	fld	dword ptr Rele2StateG2
	fcomp	dword ptr Z1
	fstsw	word ptr Acc
	fwait
	mov	ax, word ptr Acc
	sahf
	ja	Then11
	jmp	If10E
Then11:
	fld	dword ptr Rele2StateG2
	fstp	dword ptr Luft1
	fld	dword ptr Luft1
	fsub	dword ptr Const6
	fstp	dword ptr Luft1
	jmp	If10X
If10E:
	fld	dword ptr Luft1
	fstp	dword ptr Z1
	fld	dword ptr Z1
	fsub	dword ptr Const6
	fstp	dword ptr Z1
	fld	dword ptr Rele2StateG2
	fcomp	dword ptr Z1
	fstsw	word ptr Acc
	fwait
	mov	ax, word ptr Acc
	sahf
	jb	Then13
	jmp	If12E
Then13:
	fld	dword ptr Rele2StateG2
	fstp	dword ptr Luft1
	fld	dword ptr Luft1
	fadd	dword ptr Const6
	fstp	dword ptr Luft1
If12E:
If10X:
; Propor0
	mov	Count, 3
Loop14:
	cmp	Count, 0
	jg	Loop14B
	jmp	Loop14X
Loop14B:
	mov	bx, Count
	shl	bx, 2
	fld	dword ptr Propor0Buf[bx-4]
	fstp	dword ptr Propor0
	fld	dword ptr Propor0
	mov	bx, Count
	shl	bx, 2
	fstp	dword ptr Propor0Buf[bx]
	dec	Count
	jmp	Loop14
Loop14X:
	fld	dword ptr Luft1
	fstp	dword ptr Propor0Buf
	fld	dword ptr Propor0Buf+12
	fstp	dword ptr Propor0
	fld	dword ptr Propor0
	fmul	dword ptr Const7
	fstp	dword ptr Propor0
	fld	dword ptr Propor0
	fstp	dword ptr _Output0
; Inertion4
	fld	dword ptr NDSum3
	fstp	dword ptr Inertion4
	fld	dword ptr Inertion4
	fsub	dword ptr Inertion4Old
	fstp	dword ptr Inertion4
	fld	dword ptr Inertion4
	fmul	dword ptr Const8
	fstp	dword ptr Inertion4
	fld	dword ptr Inertion4
	fadd	dword ptr Inertion4Old
	fstp	dword ptr Inertion4
	fld	dword ptr Inertion4
	fstp	dword ptr Inertion4Old
	fld	dword ptr Inertion4
	fmul	dword ptr Const9
	fstp	dword ptr Inertion4
	fld	dword ptr Inertion4
	fstp	dword ptr _Output1
	ret
_Controller	endp
	.data
Const1	dd	0.0
Const2	dd	-0.2
Const3	dd	0.2
Const4	dd	1.0
Const5	dd	-1.0
Const6	dd	0.1
Const7	dd	2.0
Const8	dd	0.02
Const9	dd	1.5
	end
