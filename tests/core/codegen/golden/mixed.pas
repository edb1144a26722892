{ Язык Turbo-Pascal, Borland-Pascal, Delphi }

{------------------------------------------}
{ Этот модуль был создана пакетом "Vemo 3" }
{------------------------------------------}
{ Расчитано для такта работы 0.010 сек }

{**********************************************************}
{ Пример использования модуля в файле EXAMPLE.PAS          }
{ Файл EXAMPLE.PAS поставляется вместе с пакетом "Vemo 3"  }
{**********************************************************}

Unit mixed;
interface
{$N+}              { использовать сопроцессор }
Type
  Float = Single;  { этот тип будет использоваться, как тип с плавающей запятой }
  Procedure Initialization;  { процедура инициализации }
  Procedure Controller(Input0, Input1 : Float; var Output0, Output1 : Float); { функция контроллера }
Implementation
var NDSum3:Float; { Отрицательный сумматор }
var Rele2StateG2:Float; { Двухпозиционное реле с гистерезисом }
var Rele2StateG2OnOff:Float;
var Luft1:Float; { Люфт }
var Propor0:Float; { Звено задержки }
var Propor0Buf : Array [ 0 .. 3 ] Of Float;
var Inertion4:Float; { Апериодическое звено }
var Inertion4Old:Float;
Var  { Локальные переменные }
  Z1:Float;
{ Инициация }
Procedure initialization;
Begin
  NDSum3 := 0;
  Rele2StateG2 := 0;
  Rele2StateG2OnOff := 0;
  Luft1 := 0;
  Propor0 := 0;
  FillChar(Propor0Buf, SizeOf(Propor0Buf), 0);
  Inertion4 := 0;
  Inertion4Old := 0;
End; { Initialization }
Procedure Controller;
var Count : Integer;
Begin
  { NDSum3 }
  NDSum3 := Input0;
  NDSum3 := NDSum3 - Input1;
  { Rele2StateG2 }
  If Rele2StateG2OnOff <> 0 then
  Begin
    If NDSum3 <= -0.2 then
    Begin
      Rele2StateG2OnOff := 0;
    End;
  End
  Else
  Begin
    If NDSum3 >= 0.2 then
    Begin
      Rele2StateG2OnOff := 1;
    End;
  End;
  If Rele2StateG2OnOff <> 0 then
  Begin
    Rele2StateG2 := 1;
  End
  Else
  Begin
    Rele2StateG2 := -1;
  End;
  { Luft1 }
  Z1 := Luft1;
  Z1 := Z1 + 0.1;
  If Rele2StateG2 > Z1 then
  Begin
    Luft1 := Rele2StateG2;
    Luft1 := Luft1 - 0.1;
  End
  Else
  Begin
    Z1 := Luft1;
    Z1 := Z1 - 0.1;
    If Rele2StateG2 < Z1 then
    Begin
      Luft1 := Rele2StateG2;
      Luft1 := Luft1 + 0.1;
    End;
  End;
  { Propor0 }
  for Count:=3 downto 1 do
  begin
    Propor0 := Propor0Buf[-1+Count];
    Propor0Buf[0+Count]:= Propor0;
  End;
  Propor0Buf[0]:= Luft1;
  Propor0 := Propor0Buf[3];
  Propor0 := Propor0 * 2;
  Output0 := Propor0;
  { Inertion4 }
  Inertion4 := NDSum3;
  Inertion4 := Inertion4 - Inertion4Old;
  Inertion4 := Inertion4 * 0.02;
  Inertion4 := Inertion4 + Inertion4Old;
  Inertion4Old := Inertion4;
  Inertion4 := Inertion4 * 1.5;
  Output1 := Inertion4;
End; { Controller }

End.
