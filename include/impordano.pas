{ impordano: the import module for Delphi and Free Pascal hosts.

  The same five functions and record layouts as the C header impordano.h,
  whose opening comment is the whole host contract: the order of calls,
  the order in which the records come, progress reports, error texts, how
  long slot blocks and full texts stay valid, and the long-text rule. In
  short:

    ImpStart(path)            1 = opened, 3 = failed (ImpGetDescr tells why)
    ImpGetNextToken(t, buf)   1 = a record is in buf, its type in t; 0 = done
    ImpEnd                    ends the import; until then the blocks behind
                              the slots and the full texts stay valid
    or ImpStart, ImpKosztDescr, ImpEnd for the description alone: after
    ImpKosztDescr the import delivers no record.

  - The functions are cdecl on every target (not stdcall), called from one
    thread. The buffer holds IMP_MAX_RECORD_SIZE (1888) bytes.
  - Texts are NUL-terminated Windows-1250 bytes; paths are ANSI (code page
    1250 on a Polish Windows).
  - Every record below is a packed record with the field names and offsets
    of the C header; the unit does not compile if a size or an offset
    differs. A slot is a 4-byte address of module memory (below 4 GiB in a
    64-bit process too): ImpSlotPtr turns it into a pointer, nil for 0.
  - A text field of N bytes whose text is exactly N-5 bytes long may carry
    the full text's slot in its last 4 bytes: ImpLongText gives that full
    text, or nil when the field holds its whole text. It applies to every
    text field; ImpText gives the whole text either way.

  Loaded from impordano.dll on Windows and libimpordano.so elsewhere (put the
  module beside the program, or where the system's loader finds it).

  Tried with Free Pascal 3.2 on Linux x86-64 against libimpordano.so. The
  i386-win32 build against impordano.dll is not tried: Debian ships no
  32-bit Windows units for Free Pascal. Delphi is not tried either. }
unit impordano;

{$IFDEF FPC}
  {$MODE DELPHI}
{$ELSE}
  {$POINTERMATH ON}
{$ENDIF}
{$H+}

interface

const
{$IFDEF MSWINDOWS}
  ImpLibrary = 'impordano.dll';
{$ELSE}
  ImpLibrary = 'libimpordano.so';
{$ENDIF}

  IMP_START_OK = 1;
  IMP_START_FAILED = 3;

  { Token types written into the type argument of ImpGetNextToken. }
  IMP_TOKEN_ESTIMATE = 2;
  IMP_TOKEN_ELEMENT = 3;
  IMP_TOKEN_POSITION = 4;
  IMP_TOKEN_RESOURCE = 5;
  IMP_TOKEN_SUMMARY = 6;
  IMP_TOKEN_MEASUREMENT_LINE = 12;
  IMP_TOKEN_PROGRESS = 22; { the buffer holds one Double in [0, 1] }

  IMP_MAX_RECORD_SIZE = 1888;
  { The size of the text field ImpKosztDescr points to. }
  IMP_DESCRIPTION_SIZE = 256;

  IMP_TAG_MEASUREMENT_LINE = 2;
  IMP_TAG_SUMMARY = 5;
  IMP_TAG_ELEMENT = 6;
  IMP_TAG_RESOURCE = 7;
  IMP_TAG_ESTIMATE = 12;
  IMP_TAG_POSITION = 13;

  { TResourceRecord.kind }
  IMP_KIND_LABOUR = Ord('R');
  IMP_KIND_MATERIAL = Ord('M');
  IMP_KIND_EQUIPMENT = Ord('S');
  IMP_KIND_AUXILIARY = Ord('A');

  { TMeasurementLineRecord.entryKind }
  IMP_ENTRY_COMMENT_ONLY = 0;
  IMP_ENTRY_MEASUREMENT = 2;

  { TCostItem.labourBasis, materialBasis, equipmentBasis }
  IMP_BASIS_NONE = 0;
  IMP_BASIS_APPLIES = Ord('B');
  IMP_BASIS_PROFIT_W = Ord('W');

  IMP_POSITION_FLAG_SIMPLIFIED = 1;

type
{$IFNDEF FPC}
  PtrUInt = NativeUInt;
{$ENDIF}
  ImpSlot = UInt32;

  { Token 2: the estimate's header, 824 bytes. }
  TEstimateRecord = packed record
    recordTag: Int32;                       { 0: 12 }
    name: array[0..255] of AnsiChar;        { 4 }
    lastLevelIndex: Int32;                  { 260: number of levels minus 1 }
    remarks: Int32;                         { 264 }
    reserved268: Int32;                     { 268 }
    reserved272: array[0..19] of Byte;      { 272 }
    reserved292: array[0..5] of Int32;      { 292 }
    reserved316: array[0..15] of Byte;      { 316 }
    quantityCount: Int32;                   { 332: always 0 }
    quantityItemSize: Int32;                { 336: 296 }
    quantityItems: ImpSlot;                 { 340: always 0 }
    reserved344: array[0..5] of Int32;      { 344 }
    reserved368: Int32;                     { 368 }
    reserved372: array[0..7] of Int32;      { 372 }
    reserved404: array[0..35] of Byte;      { 404 }
    reserved440: Int32;                     { 440 }
    reserved444: array[0..11] of Byte;      { 444 }
    reserved456: Int32;                     { 456 }
    reserved460: array[0..3] of Byte;       { 460 }
    reserved464: Double;                    { 464 }
    reserved472: array[0..6] of Int32;      { 472 }
    reserved500: array[0..255] of Byte;     { 500 }
    reserved756: array[0..7] of Int32;      { 756 }
    reserved788: array[0..3] of Byte;       { 788 }
    reserved792: Int32;                     { 792 }
    reserved796: array[0..3] of Byte;       { 796 }
    reserved800: array[0..2] of Int32;      { 800 }
    reserved812: array[0..3] of Byte;       { 812 }
    reserved816: Int32;                     { 816 }
    reserved820: array[0..3] of Byte;       { 820 }
  end;
  PEstimateRecord = ^TEstimateRecord;

  { The quantity and unit of an element, 296 bytes. }
  TQuantityItem = packed record
    quantity: Double;                       { 0 }
    &unit: array[0..31] of AnsiChar;        { 8 }
    reserved40: array[0..255] of Byte;      { 40 }
  end;
  PQuantityItem = ^TQuantityItem;

  { Token 3: a chapter of the estimate, 528 bytes. }
  TElementRecord = packed record
    recordTag: Int32;                       { 0: 6 }
    description: array[0..255] of AnsiChar; { 4 }
    depth: Int32;                           { 260 }
    quantityCount: Int32;                   { 264: 1 with a quantity item }
    quantityItemSize: Int32;                { 268: 296 }
    quantityItems: ImpSlot;                 { 272: TQuantityItem, or 0 }
    reserved276: array[0..3] of Byte;       { 276 }
    reserved280: array[0..3] of Double;     { 280 }
    reserved312: array[0..71] of Byte;      { 312 }
    reserved384: Int32;                     { 384 }
    reserved388: array[0..139] of Byte;     { 388 }
  end;
  PElementRecord = ^TElementRecord;

  { The parts of a KNR basis, 772 bytes. }
  TCatalogueDetail = packed record
    reserved0: array[0..67] of Byte;            { 0 }
    catalogue: array[0..63] of AnsiChar;        { 68 }
    catalogueNumber: array[0..63] of AnsiChar;  { 132 }
    tableColumn: array[0..255] of AnsiChar;     { 196 }
    reserved452: array[0..319] of Byte;         { 452 }
  end;
  PCatalogueDetail = ^TCatalogueDetail;

  { Token 4: a priced item of work, 1888 bytes. }
  TPositionRecord = packed record
    recordTag: Int32;                             { 0: 13 }
    catalogueReference: array[0..319] of AnsiChar; { 4 }
    description: array[0..255] of AnsiChar;       { 324 }
    reserved580: array[0..255] of Byte;           { 580 }
    &unit: array[0..31] of AnsiChar;              { 836 }
    secondUnit: array[0..31] of AnsiChar;         { 868 }
    reserved900: array[0..259] of Byte;           { 900 }
    quantity: Double;                             { 1160 }
    reserved1168: array[0..131] of Byte;          { 1168 }
    flags: UInt32;                                { 1300 }
    reserved1304: array[0..23] of Byte;           { 1304 }
    price: Double;                                { 1328 }
    reserved1336: array[0..11] of Byte;           { 1336 }
    reservedId: Int32;                            { 1348 }
    reserved1352: array[0..47] of Byte;           { 1352 }
    multiplicity: Double;                         { 1400 }
    reserved1408: array[0..19] of Byte;           { 1408 }
    catalogueDetail: ImpSlot;                     { 1428: TCatalogueDetail, or 0 }
    reserved1432: array[0..455] of Byte;          { 1432 }
  end;
  PPositionRecord = ^TPositionRecord;

  { Token 12: one numbered line of a position's quantity take-off, 632 bytes. }
  TMeasurementLineRecord = packed record
    recordTag: Int32;                       { 0: 2 }
    entryKind: Int32;                       { 4 }
    comment: array[0..255] of AnsiChar;     { 8 }
    measurement: array[0..255] of AnsiChar; { 264 }
    reservedValue: array[0..1] of UInt32;   { 520 }
    lineFlag: Int32;                        { 528 }
    reserved532: array[0..99] of Byte;      { 532 }
  end;
  PMeasurementLineRecord = ^TMeasurementLineRecord;

  { Token 5: a labour, material, equipment or auxiliary line, 680 bytes. }
  TResourceRecord = packed record
    recordTag: Int32;                           { 0: 7 }
    kind: Int32;                                { 4: IMP_KIND_* }
    name: array[0..127] of AnsiChar;            { 8 }
    indexCode: array[0..31] of AnsiChar;        { 136 }
    reserved168: Int32;                         { 168 }
    &unit: array[0..31] of AnsiChar;            { 172 }
    reserved204: array[0..3] of Byte;           { 204 }
    consumption: Double;                        { 208 }
    price: Double;                              { 216 }
    reserved224: array[0..2] of Double;         { 224 }
    reserved248: array[0..63] of Byte;          { 248 }
    investorQuantityMatches: Int32;             { 312 }
    reserved316: array[0..3] of Byte;           { 316 }
    reserved320: array[0..4] of Double;         { 320 }
    reserved360: Double;                        { 360 }
    reserved368: Int32;                         { 368 }
    reserved372: array[0..39] of Byte;          { 372 }
    fixedInput: Int32;                          { 412 }
    includeInAuxiliaryMaterials: Int32;         { 416 }
    consumptionText: array[0..255] of AnsiChar; { 420 }
    reserved676: array[0..3] of Byte;           { 676 }
  end;
  PResourceRecord = ^TResourceRecord;

  { One surcharge of the summary, 256 bytes. }
  TCostItem = packed record
    name: array[0..63] of AnsiChar;         { 0 }
    rate: Double;                           { 64 }
    reserved72: Int32;                      { 72 }
    reserved76: array[0..7] of Byte;        { 76 }
    labourBasis: Int32;                     { 84: IMP_BASIS_* }
    materialBasis: Int32;                   { 88 }
    equipmentBasis: Int32;                  { 92 }
    reserved96: array[0..63] of Byte;       { 96 }
    reserved160: Int32;                     { 160 }
    reserved164: array[0..3] of Byte;       { 164 }
    reserved168: Int32;                     { 168 }
    reserved172: array[0..83] of Byte;      { 172 }
  end;
  PCostItem = ^TCostItem;
  TCostItems = array[0..5] of TCostItem;
  PCostItems = ^TCostItems;

  { Token 6: the estimate's surcharges, 20 bytes. }
  TSummaryRecord = packed record
    recordTag: Int32;                       { 0: 5 }
    reserved4: Int32;                       { 4 }
    itemCount: Int32;                       { 8: 3 to 6 }
    items: ImpSlot;                         { 12: TCostItem[itemCount] }
    itemSize: Int32;                        { 16: 256 }
  end;
  PSummaryRecord = ^TSummaryRecord;

  { Room for any record, aligned for its doubles. }
  TImpBuffer = packed record
    case Integer of
      0: (bytes: array[0..IMP_MAX_RECORD_SIZE - 1] of Byte);
      1: (align: Double);
  end;

function ImpStart(path: PAnsiChar): Int32; cdecl; external ImpLibrary;
function ImpGetDescr: PAnsiChar; cdecl; external ImpLibrary;
function ImpKosztDescr: PAnsiChar; cdecl; external ImpLibrary;
function ImpGetNextToken(var tokenType: Int32; buffer: Pointer): Int32; cdecl; external ImpLibrary;
function ImpEnd: Int32; cdecl; external ImpLibrary;

{ The block a slot holds the address of; nil for 0. }
function ImpSlotPtr(slot: ImpSlot): Pointer; inline;
{ The full text behind a text field of `size` bytes, or nil when the field
  holds its whole text. Pass the field itself: ImpLongText(r.name, SizeOf(r.name)). }
function ImpLongText(const field; size: Integer): PAnsiChar;
{ The field's whole text: the full text when it was cut, else the field's. }
function ImpText(const field; size: Integer): PAnsiChar;

implementation

{ Compile-time checks: every layout's size and every field's offset. }
{$IF SizeOf(ImpSlot) <> 4}{$MESSAGE FATAL 'ImpSlot must have 4 bytes'}{$IFEND}
{$IF SizeOf(Double) <> 8}{$MESSAGE FATAL 'the records need 8-byte doubles'}{$IFEND}
{$IF SizeOf(TEstimateRecord) <> 824}{$MESSAGE FATAL 'TEstimateRecord has the wrong size'}{$IFEND}
{$IF SizeOf(TQuantityItem) <> 296}{$MESSAGE FATAL 'TQuantityItem has the wrong size'}{$IFEND}
{$IF SizeOf(TElementRecord) <> 528}{$MESSAGE FATAL 'TElementRecord has the wrong size'}{$IFEND}
{$IF SizeOf(TCatalogueDetail) <> 772}{$MESSAGE FATAL 'TCatalogueDetail has the wrong size'}{$IFEND}
{$IF SizeOf(TPositionRecord) <> 1888}{$MESSAGE FATAL 'TPositionRecord has the wrong size'}{$IFEND}
{$IF SizeOf(TMeasurementLineRecord) <> 632}{$MESSAGE FATAL 'TMeasurementLineRecord has the wrong size'}{$IFEND}
{$IF SizeOf(TResourceRecord) <> 680}{$MESSAGE FATAL 'TResourceRecord has the wrong size'}{$IFEND}
{$IF SizeOf(TCostItem) <> 256}{$MESSAGE FATAL 'TCostItem has the wrong size'}{$IFEND}
{$IF SizeOf(TSummaryRecord) <> 20}{$MESSAGE FATAL 'TSummaryRecord has the wrong size'}{$IFEND}
{$IF SizeOf(TImpBuffer) <> IMP_MAX_RECORD_SIZE}{$MESSAGE FATAL 'TImpBuffer has the wrong size'}{$IFEND}

const
  oEstimateName = PtrUInt(@TEstimateRecord(nil^).name);
  oEstimateLastLevelIndex = PtrUInt(@TEstimateRecord(nil^).lastLevelIndex);
  oEstimateRemarks = PtrUInt(@TEstimateRecord(nil^).remarks);
  oEstimateQuantityCount = PtrUInt(@TEstimateRecord(nil^).quantityCount);
  oEstimateQuantityItems = PtrUInt(@TEstimateRecord(nil^).quantityItems);
  oEstimateReserved464 = PtrUInt(@TEstimateRecord(nil^).reserved464);
  oEstimateReserved820 = PtrUInt(@TEstimateRecord(nil^).reserved820);
  oQuantityUnit = PtrUInt(@TQuantityItem(nil^).&unit);
  oQuantityReserved40 = PtrUInt(@TQuantityItem(nil^).reserved40);
  oElementDepth = PtrUInt(@TElementRecord(nil^).depth);
  oElementQuantityItems = PtrUInt(@TElementRecord(nil^).quantityItems);
  oElementReserved384 = PtrUInt(@TElementRecord(nil^).reserved384);
  oDetailCatalogue = PtrUInt(@TCatalogueDetail(nil^).catalogue);
  oDetailCatalogueNumber = PtrUInt(@TCatalogueDetail(nil^).catalogueNumber);
  oDetailTableColumn = PtrUInt(@TCatalogueDetail(nil^).tableColumn);
  oPositionDescription = PtrUInt(@TPositionRecord(nil^).description);
  oPositionUnit = PtrUInt(@TPositionRecord(nil^).&unit);
  oPositionSecondUnit = PtrUInt(@TPositionRecord(nil^).secondUnit);
  oPositionQuantity = PtrUInt(@TPositionRecord(nil^).quantity);
  oPositionFlags = PtrUInt(@TPositionRecord(nil^).flags);
  oPositionPrice = PtrUInt(@TPositionRecord(nil^).price);
  oPositionReservedId = PtrUInt(@TPositionRecord(nil^).reservedId);
  oPositionMultiplicity = PtrUInt(@TPositionRecord(nil^).multiplicity);
  oPositionCatalogueDetail = PtrUInt(@TPositionRecord(nil^).catalogueDetail);
  oLineEntryKind = PtrUInt(@TMeasurementLineRecord(nil^).entryKind);
  oLineComment = PtrUInt(@TMeasurementLineRecord(nil^).comment);
  oLineMeasurement = PtrUInt(@TMeasurementLineRecord(nil^).measurement);
  oLineLineFlag = PtrUInt(@TMeasurementLineRecord(nil^).lineFlag);
  oResourceKind = PtrUInt(@TResourceRecord(nil^).kind);
  oResourceName = PtrUInt(@TResourceRecord(nil^).name);
  oResourceIndexCode = PtrUInt(@TResourceRecord(nil^).indexCode);
  oResourceUnit = PtrUInt(@TResourceRecord(nil^).&unit);
  oResourceConsumption = PtrUInt(@TResourceRecord(nil^).consumption);
  oResourcePrice = PtrUInt(@TResourceRecord(nil^).price);
  oResourceInvestorQuantityMatches = PtrUInt(@TResourceRecord(nil^).investorQuantityMatches);
  oResourceReserved360 = PtrUInt(@TResourceRecord(nil^).reserved360);
  oResourceFixedInput = PtrUInt(@TResourceRecord(nil^).fixedInput);
  oResourceIncludeInAuxiliaryMaterials = PtrUInt(@TResourceRecord(nil^).includeInAuxiliaryMaterials);
  oResourceConsumptionText = PtrUInt(@TResourceRecord(nil^).consumptionText);
  oCostRate = PtrUInt(@TCostItem(nil^).rate);
  oCostLabourBasis = PtrUInt(@TCostItem(nil^).labourBasis);
  oCostMaterialBasis = PtrUInt(@TCostItem(nil^).materialBasis);
  oCostEquipmentBasis = PtrUInt(@TCostItem(nil^).equipmentBasis);
  oCostReserved168 = PtrUInt(@TCostItem(nil^).reserved168);
  oSummaryItemCount = PtrUInt(@TSummaryRecord(nil^).itemCount);
  oSummaryItems = PtrUInt(@TSummaryRecord(nil^).items);
  oSummaryItemSize = PtrUInt(@TSummaryRecord(nil^).itemSize);

{$IF oEstimateName <> 4}{$MESSAGE FATAL 'TEstimateRecord.name is misplaced'}{$IFEND}
{$IF oEstimateLastLevelIndex <> 260}{$MESSAGE FATAL 'TEstimateRecord.lastLevelIndex is misplaced'}{$IFEND}
{$IF oEstimateRemarks <> 264}{$MESSAGE FATAL 'TEstimateRecord.remarks is misplaced'}{$IFEND}
{$IF oEstimateQuantityCount <> 332}{$MESSAGE FATAL 'TEstimateRecord.quantityCount is misplaced'}{$IFEND}
{$IF oEstimateQuantityItems <> 340}{$MESSAGE FATAL 'TEstimateRecord.quantityItems is misplaced'}{$IFEND}
{$IF oEstimateReserved464 <> 464}{$MESSAGE FATAL 'TEstimateRecord.reserved464 is misplaced'}{$IFEND}
{$IF oEstimateReserved820 <> 820}{$MESSAGE FATAL 'TEstimateRecord.reserved820 is misplaced'}{$IFEND}
{$IF oQuantityUnit <> 8}{$MESSAGE FATAL 'TQuantityItem.unit is misplaced'}{$IFEND}
{$IF oQuantityReserved40 <> 40}{$MESSAGE FATAL 'TQuantityItem.reserved40 is misplaced'}{$IFEND}
{$IF oElementDepth <> 260}{$MESSAGE FATAL 'TElementRecord.depth is misplaced'}{$IFEND}
{$IF oElementQuantityItems <> 272}{$MESSAGE FATAL 'TElementRecord.quantityItems is misplaced'}{$IFEND}
{$IF oElementReserved384 <> 384}{$MESSAGE FATAL 'TElementRecord.reserved384 is misplaced'}{$IFEND}
{$IF oDetailCatalogue <> 68}{$MESSAGE FATAL 'TCatalogueDetail.catalogue is misplaced'}{$IFEND}
{$IF oDetailCatalogueNumber <> 132}{$MESSAGE FATAL 'TCatalogueDetail.catalogueNumber is misplaced'}{$IFEND}
{$IF oDetailTableColumn <> 196}{$MESSAGE FATAL 'TCatalogueDetail.tableColumn is misplaced'}{$IFEND}
{$IF oPositionDescription <> 324}{$MESSAGE FATAL 'TPositionRecord.description is misplaced'}{$IFEND}
{$IF oPositionUnit <> 836}{$MESSAGE FATAL 'TPositionRecord.unit is misplaced'}{$IFEND}
{$IF oPositionSecondUnit <> 868}{$MESSAGE FATAL 'TPositionRecord.secondUnit is misplaced'}{$IFEND}
{$IF oPositionQuantity <> 1160}{$MESSAGE FATAL 'TPositionRecord.quantity is misplaced'}{$IFEND}
{$IF oPositionFlags <> 1300}{$MESSAGE FATAL 'TPositionRecord.flags is misplaced'}{$IFEND}
{$IF oPositionPrice <> 1328}{$MESSAGE FATAL 'TPositionRecord.price is misplaced'}{$IFEND}
{$IF oPositionReservedId <> 1348}{$MESSAGE FATAL 'TPositionRecord.reservedId is misplaced'}{$IFEND}
{$IF oPositionMultiplicity <> 1400}{$MESSAGE FATAL 'TPositionRecord.multiplicity is misplaced'}{$IFEND}
{$IF oPositionCatalogueDetail <> 1428}{$MESSAGE FATAL 'TPositionRecord.catalogueDetail is misplaced'}{$IFEND}
{$IF oLineEntryKind <> 4}{$MESSAGE FATAL 'TMeasurementLineRecord.entryKind is misplaced'}{$IFEND}
{$IF oLineComment <> 8}{$MESSAGE FATAL 'TMeasurementLineRecord.comment is misplaced'}{$IFEND}
{$IF oLineMeasurement <> 264}{$MESSAGE FATAL 'TMeasurementLineRecord.measurement is misplaced'}{$IFEND}
{$IF oLineLineFlag <> 528}{$MESSAGE FATAL 'TMeasurementLineRecord.lineFlag is misplaced'}{$IFEND}
{$IF oResourceKind <> 4}{$MESSAGE FATAL 'TResourceRecord.kind is misplaced'}{$IFEND}
{$IF oResourceName <> 8}{$MESSAGE FATAL 'TResourceRecord.name is misplaced'}{$IFEND}
{$IF oResourceIndexCode <> 136}{$MESSAGE FATAL 'TResourceRecord.indexCode is misplaced'}{$IFEND}
{$IF oResourceUnit <> 172}{$MESSAGE FATAL 'TResourceRecord.unit is misplaced'}{$IFEND}
{$IF oResourceConsumption <> 208}{$MESSAGE FATAL 'TResourceRecord.consumption is misplaced'}{$IFEND}
{$IF oResourcePrice <> 216}{$MESSAGE FATAL 'TResourceRecord.price is misplaced'}{$IFEND}
{$IF oResourceInvestorQuantityMatches <> 312}{$MESSAGE FATAL 'TResourceRecord.investorQuantityMatches is misplaced'}{$IFEND}
{$IF oResourceReserved360 <> 360}{$MESSAGE FATAL 'TResourceRecord.reserved360 is misplaced'}{$IFEND}
{$IF oResourceFixedInput <> 412}{$MESSAGE FATAL 'TResourceRecord.fixedInput is misplaced'}{$IFEND}
{$IF oResourceIncludeInAuxiliaryMaterials <> 416}{$MESSAGE FATAL 'TResourceRecord.includeInAuxiliaryMaterials is misplaced'}{$IFEND}
{$IF oResourceConsumptionText <> 420}{$MESSAGE FATAL 'TResourceRecord.consumptionText is misplaced'}{$IFEND}
{$IF oCostRate <> 64}{$MESSAGE FATAL 'TCostItem.rate is misplaced'}{$IFEND}
{$IF oCostLabourBasis <> 84}{$MESSAGE FATAL 'TCostItem.labourBasis is misplaced'}{$IFEND}
{$IF oCostMaterialBasis <> 88}{$MESSAGE FATAL 'TCostItem.materialBasis is misplaced'}{$IFEND}
{$IF oCostEquipmentBasis <> 92}{$MESSAGE FATAL 'TCostItem.equipmentBasis is misplaced'}{$IFEND}
{$IF oCostReserved168 <> 168}{$MESSAGE FATAL 'TCostItem.reserved168 is misplaced'}{$IFEND}
{$IF oSummaryItemCount <> 8}{$MESSAGE FATAL 'TSummaryRecord.itemCount is misplaced'}{$IFEND}
{$IF oSummaryItems <> 12}{$MESSAGE FATAL 'TSummaryRecord.items is misplaced'}{$IFEND}
{$IF oSummaryItemSize <> 16}{$MESSAGE FATAL 'TSummaryRecord.itemSize is misplaced'}{$IFEND}

function ImpSlotPtr(slot: ImpSlot): Pointer;
begin
  Result := Pointer(PtrUInt(slot));
end;

function ImpLongText(const field; size: Integer): PAnsiChar;
var
  bytes: PByte;
  n: Integer;
  slot: ImpSlot;
begin
  Result := nil;
  if size < 5 then Exit;
  bytes := PByte(@field);
  n := 0;
  while (n < size) and (bytes[n] <> 0) do Inc(n);
  if n <> size - 5 then Exit;
  { The slot is little-endian, as every record. }
  slot := ImpSlot(bytes[size - 4]) or (ImpSlot(bytes[size - 3]) shl 8) or
          (ImpSlot(bytes[size - 2]) shl 16) or (ImpSlot(bytes[size - 1]) shl 24);
  Result := PAnsiChar(ImpSlotPtr(slot));
end;

function ImpText(const field; size: Integer): PAnsiChar;
begin
  Result := ImpLongText(field, size);
  if Result = nil then Result := PAnsiChar(@field);
end;

end.
