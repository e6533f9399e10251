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
    "Kosztorys",
    "Nakłady",
    "Element",
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
    "Estimate",
    "Resources",
    "Element",
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
