/* Язык C, C++  */
/************************************************/
/* Эта библиотека была создана пакетом "Vemo 3" */
/************************************************/
/* Расчитано для такта работы 0.010 сек */
#include <stdio.h>
float NDSum3; /* Отрицательный сумматор */
float Rele2StateG2; /* Двухпозиционное реле с гистерезисом */
float Rele2StateG2OnOff;
float Luft1; /* Люфт */
float Propor0; /* Звено задержки */
float Propor0Buf[4];
float Inertion4; /* Апериодическое звено */
float Inertion4Old;
/*****************/
/* Инициализация */
/*****************/
void Initialization()
{
  NDSum3 = 0;
  Rele2StateG2 = 0;
  Rele2StateG2OnOff = 0;
  Luft1 = 0;
  Propor0 = 0;
  { int i; for (i = 0; i < 4; i++) Propor0Buf[i] = 0; }
  Inertion4 = 0;
  Inertion4Old = 0;
}
/****************************************************/
/* Контроллер Inputxx  - входной сигнал регулятора  */
/* Возвращает Outputxx - выходной сигнал регулятора */
/****************************************************/
void Controller(float Input0, float Input1, float *Output0, float *Output1)
{
  int Count;
  /* Локальные переменные */
  float Z1;
  /* NDSum3 */
  NDSum3 = Input0;
  NDSum3 -= Input1;
  /* Rele2StateG2 */
  if (Rele2StateG2OnOff != 0)
  {
    if (NDSum3 <= -0.2)
    {
      Rele2StateG2OnOff = 0;
    }
  }
  else
  {
    if (NDSum3 >= 0.2)
    {
      Rele2StateG2OnOff = 1;
    }
  }
  if (Rele2StateG2OnOff != 0)
  {
    Rele2StateG2 = 1;
  }
  else
  {
    Rele2StateG2 = -1;
  }
  /* Luft1 */
  Z1 = Luft1;
  Z1 += 0.1;
  if (Rele2StateG2 > Z1)
  {
    Luft1 = Rele2StateG2;
    Luft1 -= 0.1;
  }
  else
  {
    Z1 = Luft1;
    Z1 -= 0.1;
    if (Rele2StateG2 < Z1)
    {
      Luft1 = Rele2StateG2;
      Luft1 += 0.1;
    }
  }
  /* Propor0 */
  for (Count = 3; Count > 0; Count--)
  {
    Propor0 = Propor0Buf[-1+Count];
    Propor0Buf[0+Count] = Propor0;
  }
  Propor0Buf[0] = Luft1;
  Propor0 = Propor0Buf[3];
  Propor0 *= 2;
  *Output0 = Propor0;
  /* Inertion4 */
  Inertion4 = NDSum3;
  Inertion4 -= Inertion4Old;
  Inertion4 *= 0.02;
  Inertion4 += Inertion4Old;
  Inertion4Old = Inertion4;
  Inertion4 *= 1.5;
  *Output1 = Inertion4;
}
