{ A Pascal host: imports an estimate through the unit impordano and prints
  the lines samples/host.c prints (numbers to 15 significant digits), so that
  scripts/check-host-output.py holds both to what impordano-dump shows. }
program pascal_host;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses SysUtils, impordano;

var
  numbers: TFormatSettings;

function Num(value: Double): string;
begin
  Result := FloatToStrF(value, ffGeneral, 15, 0, numbers);
end;

procedure Import(const path: AnsiString);
var
  buffer: TImpBuffer;
  tokenType, i: Int32;
  costs: PCostItems;
  item: PQuantityItem;
begin
  if ImpStart(PAnsiChar(path)) <> IMP_START_OK then
  begin
    WriteLn(ErrOutput, 'pascal_host: ', path, ': error "', ImpGetDescr, '"');
    Halt(1);
  end;
  WriteLn('description'#9, ImpText(ImpKosztDescr^, IMP_DESCRIPTION_SIZE));
  ImpEnd;

  if ImpStart(PAnsiChar(path)) <> IMP_START_OK then Halt(1);
  while ImpGetNextToken(tokenType, @buffer) <> 0 do
    case tokenType of
      IMP_TOKEN_PROGRESS:
        WriteLn('progress'#9, FormatFloat('0.000', buffer.align, numbers));
      IMP_TOKEN_ESTIMATE:
        with PEstimateRecord(@buffer)^ do
          WriteLn('estimate'#9, ImpText(name, SizeOf(name)));
      IMP_TOKEN_SUMMARY:
        with PSummaryRecord(@buffer)^ do
        begin
          costs := ImpSlotPtr(items);
          for i := 0 to itemCount - 1 do
            WriteLn('surcharge'#9, ImpText(costs^[i].name, SizeOf(costs^[i].name)), #9,
                    Num(costs^[i].rate));
        end;
      IMP_TOKEN_ELEMENT:
        with PElementRecord(@buffer)^ do
        begin
          Write('element'#9, depth, #9, ImpText(description, SizeOf(description)));
          item := ImpSlotPtr(quantityItems);
          if item <> nil then
            Write(#9, Num(item^.quantity), #9, ImpText(item^.&unit, SizeOf(item^.&unit)));
          WriteLn;
        end;
      IMP_TOKEN_POSITION:
        with PPositionRecord(@buffer)^ do
          WriteLn('position'#9, ImpText(catalogueReference, SizeOf(catalogueReference)), #9,
                  ImpText(description, SizeOf(description)), #9, Num(quantity), #9,
                  ImpText(&unit, SizeOf(&unit)));
      IMP_TOKEN_MEASUREMENT_LINE:
        with PMeasurementLineRecord(@buffer)^ do
          WriteLn('take-off'#9, ImpText(measurement, SizeOf(measurement)), #9,
                  ImpText(comment, SizeOf(comment)));
      IMP_TOKEN_RESOURCE:
        with PResourceRecord(@buffer)^ do
        begin
          if kind = 0 then Write('resource'#9'-') else Write('resource'#9, AnsiChar(kind));
          WriteLn(#9, ImpText(name, SizeOf(name)), #9, Num(consumption), #9,
                  ImpText(&unit, SizeOf(&unit)), #9, Num(price));
        end;
    end;
  i := Ord(ImpGetDescr^ <> #0);
  if i <> 0 then WriteLn(ErrOutput, 'pascal_host: the import failed, error ', ImpGetDescr);
  ImpEnd;
  if i <> 0 then Halt(1);
end;

begin
  numbers := DefaultFormatSettings;
  numbers.DecimalSeparator := '.';
  numbers.ThousandSeparator := #0;
  if ParamCount <> 1 then
  begin
    WriteLn(ErrOutput, 'usage: pascal_host ESTIMATE-FILE');
    Halt(2);
  end;
  Import(ParamStr(1));
end.
