inherited StreamedDerivedForm: TStreamedDerivedForm
  Width = 200
  Caption = 'Derived'
end
