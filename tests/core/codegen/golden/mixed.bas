' Язык QBasic
'*********************************************
' Эта программа была создана пакетом "Vemo 3"
'*********************************************
' Расчитано для такта работы 0.010 сек
' NDSum3 - Отрицательный сумматор
' Rele2StateG2 - Двухпозиционное реле с гистерезисом
' Rele2StateG2OnOff
' Luft1 - Люфт
' Propor0 - Звено задержки
DIM Propor0Buf(4)
' Inertion4 - Апериодическое звено
' Inertion4Old
' Z1
' Инициализация
GOSUB Initialization
X = 0.0
' главный цикл
FOR Time = 0 TO 10 STEP 0.01
  ' здесь Вы должны расчитать входной сигнал X для регулятора
  GOSUB Controller  ' вызов функции регулятора  X - входной сигнал Y - выходной сигнал
NEXT
END
'***********************************************************
Initialization:
  NDSum3 = 0
  Rele2StateG2 = 0
  Rele2StateG2OnOff = 0
  Luft1 = 0
  Propor0 = 0
  FOR I = 4 TO 1 STEP -1
    Propor0Buf(I - 1) = 0
  NEXT I
  Inertion4 = 0
  Inertion4Old = 0
RETURN
'***********************************************************
Controller:
  ' NDSum3
  NDSum3 = Input0
  NDSum3 = NDSum3 - Input1
  ' Rele2StateG2
  IF Rele2StateG2OnOff = 0 THEN GOTO L1
    IF NDSum3 > -0.2 THEN GOTO L2
      Rele2StateG2OnOff = 0
L2:
    GOTO L3
L1:
    IF NDSum3 < 0.2 THEN GOTO L4
      Rele2StateG2OnOff = 1
L4:
L3:
  IF Rele2StateG2OnOff = 0 THEN GOTO L5
    Rele2StateG2 = 1
    GOTO L6
L5:
    Rele2StateG2 = -1
L6:
  ' Luft1
  Z1 = Luft1
  Z1 = Z1 + 0.1
  IF Rele2StateG2 <= Z1 THEN GOTO L7
    Luft1 = Rele2StateG2
    Luft1 = Luft1 - 0.1
    GOTO L8
L7:
    Z1 = Luft1
    Z1 = Z1 - 0.1
    IF Rele2StateG2 >= Z1 THEN GOTO L9
      Luft1 = Rele2StateG2
      Luft1 = Luft1 + 0.1
L9:
L8:
  ' Propor0
  FOR I = 3 TO 1 STEP -1
    Propor0 = Propor0Buf(I - 1)
    Propor0Buf(I) = Propor0
  NEXT I
  Propor0Buf(0) = Luft1
  Propor0 = Propor0Buf(3)
  Propor0 = Propor0 * 2
  Output0 = Propor0
  ' Inertion4
  Inertion4 = NDSum3
  Inertion4 = Inertion4 - Inertion4Old
  Inertion4 = Inertion4 * 0.02
  Inertion4 = Inertion4 + Inertion4Old
  Inertion4Old = Inertion4
  Inertion4 = Inertion4 * 1.5
  Output1 = Inertion4
RETURN
