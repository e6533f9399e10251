// Whole imports: which records arrive, in which order.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using namespace imp_test;

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
       {E, EL, E, SUM, EL}, {}},
      {"resources before any position", Lines({"[Plik]"}) + Resource("1", "M") + Resource("2", "R"),
       {RES, RES, SUM}, {"M1", "R2"}},
      {"a resource after an element goes right after it",
       Lines({"[Plik]", "[Element 1]", "[Element 2]"}) + Resource("1", "M"), {EL, EL, RES, SUM},
       {"M1"}},
      // Only an upper-case 'S' goes to the end; an 'S' takes the next
      // resource of any kind with it.
      {"resource kinds",
       Lines({"[Plik]", "[Pozycja 1]", "Przedmiar 1=x"}) + Resource("1", "r") + Resource("2", "s") +
           Resource("3", "") + Resource("4", "S") + Resource("5", "S") + Resource("6", "R"),
       {P, RES, RES, RES, ML, RES, RES, RES, SUM},
       {"r1", "s2", "3", "S4", "S5", "R6"}},
      // A position's measurement lines wait behind its resources up to the
      // first 'S' one, and go before the next position's record.
      {"resources of two positions",
       Lines({"[Plik]", "[Pozycja 1]", "Przedmiar 1=a", "Materia\xB3y pomocnicze=2"}) +
           Resource("1", "R") + Resource("2", "M") +
           Lines({"[Pozycja 2]", "Komentarz 1=b"}) + Resource("3", "R"),
       {P, RES, RES, ML, RES, P, RES, ML, SUM},
       {"R1", "M2", "A", "R3"}},
      {"measurement lines, then auxiliary materials, before the first 'S'",
       Lines({"[Plik]", "[Kosztorys]", "[Element 1]", "[Pozycja 1.1]", "Przedmiar 1=2*3",
              "Materia\xB3y pomocnicze=5"}) +
           Resource("1", "R") + Resource("2", "M") + Resource("3", "S") + Resource("4", "R"),
       {E, SUM, EL, P, RES, RES, ML, RES, RES, RES}, {"R1", "M2", "A", "S3", "R4"}},
      {"'S' resources between two positions",
       Lines({"[Plik]", "[Pozycja 1]", "Przedmiar 1=a"}) + Resource("1", "S") + Resource("2", "S") +
           Resource("3", "M") + Lines({"[Pozycja 2]"}) + Resource("4", "S") + Resource("5", "R"),
       {P, ML, RES, RES, RES, P, RES, RES, SUM},
       {"S1", "S2", "M3", "S4", "R5"}},
      {"the measurement lines wait at an element, an estimate and the end of the file",
       Lines({"[Plik]", "[Pozycja 1]", "Przedmiar 1=a", "[Element 1]", "[Pozycja 2]",
              "Przedmiar 1=b", "[Kosztorys]", "[Pozycja 3]", "Przedmiar 1=c"}),
       {P, ML, EL, P, ML, E, SUM, P, ML}, {}},
      {"a resource after the measurement lines' 'S' goes to the end",
       Lines({"[Plik]", "[Pozycja 1]", "Przedmiar 1=a"}) + Resource("1", "S") + Resource("2", "R"),
       {P, ML, RES, RES, SUM}, {"S1", "R2"}},
      {"stray lines and keys outside a section are skipped",
       Lines({"[Plik]", "junk", "a=b", "[Elementy]", "c=d", "[Element 1]"}), {EL, SUM}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(c.file);
    ASSERT_EQ(import.startResult, IMP_START_OK);
    EXPECT_EQ(import.Types(), c.types);
    EXPECT_EQ(ResourceNames(import), c.resources);
  }
}

}  // namespace
