object StreamedForm: TStreamedForm
  Left = 3
  Width = 100
  Caption = 'Base'
  Font.Style = [fsItalic]
end
