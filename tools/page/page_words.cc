#include "page_words.h"

namespace imppage {
namespace {

constexpr PageWords kPolish = {
    "pl",
    "Kosztorys bez rekordu nagłówka",
    "Liczba uwag",
    "Liczba poziomów",
    "Elementy",
    "Pozycje",
    "Rekordy nieznanych typów",
    "Robocizna (R)",
    "Materiały (M)",
    "Sprzęt (S)",
    "Materiały pomocnicze (A)",
    "Bez rodzaju",
    "Rodzaj ",
    "Narzuty",
    "Moduł nie podał podsumowania.",
    "Narzut",
    "Stawka, %",
    "nie",
    "tak",
    "tak, według stawki ",
    "",
    "kod ",
    "Nie można odczytać pozycji: ",
    " po ",
    " bajtów.",
    "Elementy i pozycje",
    "Przed pierwszym elementem",
    "Wiersze przed pierwszą pozycją:",
    "(nie można odczytać obmiaru)",
    "Lp.",
    "Podstawa",
    "Opis",
    "J.m.",
    "Ilość",
    "Krotność",
    "Cena",
    "uproszczona",
    "Przedmiar",
    "Wiersz",
    "Wyliczenie",
    "Komentarz",
    "Indeks",
    "Nazwa",
    "Nakład",
    "Wyliczenie nakładu",
    "Ilość inwestora zgodna",
    "tak",
    "Uwagi do importu",
    "Wszystko, co zawiera plik, trafiło do rekordów: import niczego nie pominął.",
    "wiersz",
    "Sekcja",
    "Uwaga",
    "uwagi: ",
    "Pokazane są pierwsze ",
    " z ",
    " uwag tego rodzaju; wszystkie wypisuje impordano-dump --check.",
    {
        "klucz nieczytany",
        "wiersz spoza reguł",
        "klucz poza sekcją",
        "klucz powtórzony",
        "tekst przycięty do pola",
        "tekst nieosiągalny",
        "wyliczenie odrzucone",
        "wartość odczytana częściowo",
        "ułamek w polu całkowitym",
        "nadmiarowe pola",
        "wiersz za długi",
        "brak znaku nowego wiersza",
        "tekst urwany na bajcie NUL",
        "dane po bajcie 0x1A",
        "zasób przed pierwszą pozycją",
        "stawka przegłosowana",
        "stawka nieliczona",
    },
    {
        "klucz {key} nie jest czytany przez import",
        "wiersz {written} nie pasuje do żadnej reguły: import go pomija",
        "klucz {key} stoi po wierszu {other}, który zakończył jego sekcję: import go pomija",
        "klucz {key} występuje ponownie w wierszu {other}, którego wartość zastępuje tę",
        "{key} ma {length} bajtów, a pole mieści pierwsze {keeps}: host stosujący regułę "
        "długich tekstów dostaje pełny tekst spod wskaźnika",
        "{key} ma {length} bajtów: host dostaje pierwsze {keeps}, a pełnego tekstu nie "
        "dostanie żaden host",
        "{key} {written} ze współczynnikiem korygującym {taken} przekracza 255 znaków: "
        "wyliczenie w rekordzie jest puste",
        "{key} {written} jest czytane jako {taken}: {rest} zostaje pominięte",
        "{key} {written} zawiera ułamek: pole całkowite dostaje {taken}",
        "{key} ma pola, których nie przechowuje żaden rekord ({length}): {rest}",
        "wiersz jest dłuższy niż 9191 bajtów ({length} w pierwszym kawałku): reszta jest "
        "czytana jako osobne wiersze i pomijana",
        "ostatni wiersz {written} nie kończy się znakiem nowego wiersza: import go pomija",
        "{key} {written} urywa się na bajcie NUL: {rest} zostaje pominięte",
        "bajt 0x1A kończy dane: {length} bajtów za nim zostaje pominiętych",
        "zasób przed pierwszą pozycją: host dostaje go bez pozycji, do której należy",
        "{key}{kind}: stawka {taken} występuje {length} razy; podsumowanie zachowuje "
        "{summaryRate}, która występuje {summaryCount} razy",
        "{key} {written}: rodzaj zasobu nie jest żadnym z R, M, S, więc stawki nie liczy "
        "żadne zestawienie i podsumowanie jej nie zna",
    },
};

constexpr PageWords kEnglish = {
    "en",
    "Estimate without a header record",
    "Number of remarks",
    "Levels",
    "Elements",
    "Positions",
    "Records of unknown types",
    "Labour (R)",
    "Materials (M)",
    "Equipment (S)",
    "Auxiliary (A)",
    "No kind",
    "Kind ",
    "Surcharges",
    "The module gave no summary.",
    "Surcharge",
    "Rate, %",
    "no",
    "applies",
    "applies, at the ",
    " rate",
    "code ",
    "The items cannot be read: ",
    " items of ",
    " bytes.",
    "Elements and positions",
    "Before the first element",
    "Lines that come before any position:",
    "(quantity cannot be read)",
    "No.",
    "Basis",
    "Description",
    "Unit",
    "Quantity",
    "Multiplicity",
    "Price",
    "simplified",
    "Quantity take-off",
    "Line",
    "Measurement",
    "Comment",
    "Index",
    "Name",
    "Consumption",
    "Formula",
    "Investor quantity",
    "yes",
    "Import notes",
    "Everything in the file reached the records: the import passed nothing over.",
    "line",
    "Section",
    "Note",
    "findings: ",
    "The first ",
    " of ",
    " findings of this kind are shown; impordano-dump --check lists them all.",
    {
        "key not read",
        "line that fits no rule",
        "key outside a section",
        "key given again",
        "text cut to its field",
        "text out of reach",
        "formula dropped",
        "value read partly",
        "fraction in an integer field",
        "extra fields",
        "line too long",
        "no line feed",
        "text ending at a NUL byte",
        "bytes after 0x1A",
        "resource before the first position",
        "rate outvoted",
        "rate not counted",
    },
    {
        "key {key} is not read by the import",
        "line {written} fits no rule: the import passes it over",
        "key {key} follows line {other}, which ended its section: the import passes it over",
        "key {key} is given again on line {other}, whose value replaces this one",
        "{key} is {length} bytes long and its field keeps the first {keeps}: a host that "
        "follows the long-text rule gets the full text behind the slot",
        "{key} is {length} bytes long: the host gets its first {keeps}, and no host can reach "
        "the full text",
        "{key} {written} with its correction factor {taken} grows over 255 characters: the "
        "record's formula is empty",
        "{key} {written} is read as {taken}: {rest} is passed over",
        "{key} {written} holds a fraction: the integer field gets {taken}",
        "{key} has fields that no record keeps ({length}): {rest}",
        "the line is longer than 9191 bytes ({length} in its first piece): its rest is read "
        "as lines of its own and passed over",
        "the last line {written} has no line feed: the import passes it over",
        "{key} {written} ends at a NUL byte: {rest} is passed over",
        "the byte 0x1A ends the input: the {length} bytes after it are passed over",
        "a resource before the first position: the host gets it with no position to belong to",
        "{key}{kind}: the rate {taken} occurs {length} times; the summary keeps "
        "{summaryRate}, which occurs {summaryCount} times",
        "{key} {written}: the resource's kind is none of R, M, S, so no tally counts the "
        "rate and the summary does not know it",
    },
};

}  // namespace

const PageWords& WordsFor(Language language) {
  return language == Language::kEnglish ? kEnglish : kPolish;
}

bool LanguageFromName(const std::string& name, Language* language) {
  if (name == "pl") {
    *language = Language::kPolish;
  } else if (name == "en") {
    *language = Language::kEnglish;
  } else {
    return false;
  }
  return true;
}

}  // namespace imppage
