object ToolDockWindow: TToolDockWindow
  Left = 10
  Top = 10
  Width = 434
  Height = 320
  Caption = 'Tool dock window'
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  PixelsPerInch = 96
  TextHeight = 13
end
