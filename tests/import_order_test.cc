// Whole imports: which records arrive, in which order.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using imp_test::Import;
using imp_test::Lines;

constexpr int32_t E = IMP_TOKEN_ESTIMATE, SUM = IMP_TOKEN_SUMMARY, EL = IMP_TOKEN_ELEMENT,
                  P = IMP_TOKEN_POSITION, RES = IMP_TOKEN_RESOURCE,
                  ML = IMP_TOKEN_MEASUREMENT_LINE;

std::string Resource(const std::string& number, const std::string& kind) {
  return "[RMS " + number + "]\nTyp=" + kind + "\nNazwa=" + kind + number + "\n";
}

// Names of the resources in delivery order ("A" for the auxiliary materials).
std::vector<std::string> ResourceNames(const Import& import) {
  std::vector<std::string> names;
  for (const auto* token : import.OfType(RES)) {
    const auto& r = token->As<ResourceRecord>();
    names.push_back(r.kind == IMP_KIND_AUXILIARY ? "A" : r.name);
  }
  return names;
}

TEST(ImportOrder, ResourcesGoAfterTheRecordBuiltBeforeThemAndEquipmentToTheEnd) {
  Import import(Lines({"[Plik]", "[Kosztorys]", "Nazwa=Dom", "[Element 1]", "[Pozycja 1.1]",
                       "Przedmiar 1=2*3", "Materia\xB3y pomocnicze=5"}) +
                Resource("1.1.1", "R") + Resource("1.1.2", "M") + Resource("1.1.3", "S") +
                Resource("1.1.4", "R"));
  ASSERT_EQ(import.startResult, IMP_START_OK);
  EXPECT_EQ(import.Types(), (std::vector<int32_t>{E, SUM, EL, P, RES, RES, ML, RES, RES, RES}));
  EXPECT_EQ(ResourceNames(import),
            (std::vector<std::string>{"R1.1.1", "M1.1.2", "A", "S1.1.3", "R1.1.4"}));
}

TEST(ImportOrder, Cases) {
  struct Case {
    const char* name;
    std::string file;
    std::vector<int32_t> types;
    std::vector<std::string> resources;
  };
  const Case cases[] = {
      {"estimate first: estimate then summary", Lines({"[Plik]", "[Kosztorys]"}), {E, SUM}, {}},
      {"no sections: only the summary", Lines({"[Plik]", "Opis=x"}), {SUM}, {}},
      {"no estimate: the summary comes last", Lines({"[Plik]", "[Element 1]"}), {EL, SUM}, {}},
      {"summary after the last of several estimates",
       Lines({"[Plik]", "[Kosztorys]", "[Element 1]", "[Kosztorys]", "[Element 2]"}),
       {E, EL, E, SUM, EL},
       {}},
      {"resources before any position",
       Lines({"[Plik]"}) + Resource("1", "M") + Resource("2", "R"),
       {RES, RES, SUM},
       {"M1", "R2"}},
      {"a resource after an element goes right after it",
       Lines({"[Plik]", "[Element 1]", "[Element 2]"}) + Resource("1", "M"),
       {EL, EL, RES, SUM},
       {"M1"}},
      {"two S resources keep their order at the end",
       Lines({"[Plik]", "[Pozycja 1]", "Przedmiar 1=x"}) + Resource("1", "S") +
           Resource("2", "S") + Resource("3", "R"),
       {P, ML, RES, RES, RES, SUM},
       {"S1", "S2", "R3"}},
      {"lines 3 and 1 without 2, in number order",
       Lines({"[Plik]", "[Pozycja 1]", "Przedmiar 3=c", "Komentarz 1=a"}),
       {P, ML, ML, SUM},
       {}},
      {"line numbers below 1 name no line",
       Lines({"[Plik]", "[Pozycja 1]", "Przedmiar 0=a", "Komentarz -4=b", "Przedmiar x=c"}),
       {P, SUM},
       {}},
      {"stray lines and keys outside a section are skipped",
       Lines({"[Plik]", "junk", "a=b", "[Elementy]", "c=d", "[Element 1]"}),
       {EL, SUM},
       {}},
      {"auxiliary materials 5 then 0 give one resource",
       Lines({"[Plik]", "[Pozycja 1]", "Materia\xB3y pomocnicze=5", "Materia\xB3y pomocnicze=0"}),
       {P, RES, SUM},
       {"A"}},
      {"auxiliary materials 0 give none",
       Lines({"[Plik]", "[Pozycja 1]", "Materia\xB3y pomocnicze=0"}),
       {P, SUM},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(c.file);
    ASSERT_EQ(import.startResult, IMP_START_OK);
    EXPECT_EQ(import.Types(), c.types);
    EXPECT_EQ(ResourceNames(import), c.resources);
  }
}

TEST(ImportOrder, SparseLineNumbersStayInOrder) {
  Import import(Lines({"[Plik]", "[Pozycja 1]", "Przedmiar 2000000000=last",
                       "Przedmiar 7=second", "Komentarz 2=first", "Przedmiar 99999999999=max"}));
  std::vector<std::string> texts;
  for (const auto* token : import.OfType(ML)) {
    const auto& line = token->As<MeasurementLineRecord>();
    texts.push_back(std::string(line.comment) + line.measurement);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"first", "second", "last", "max"}));
}

}  // namespace
