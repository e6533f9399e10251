#include "estimate_generator.h"

#include <cstdarg>
#include <cstring>
#include <string>

namespace imp_bench {
namespace {

// A small linear congruential generator: the same sequence on every
// platform and standard library.
class Random {
 public:
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state_ >> 33);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }

 private:
  uint64_t state_ = 20261207;
};

class Writer {
 public:
  explicit Writer(std::FILE* out) : out_(out) {}
  ~Writer() { Flush(); }

  // One line with its CR LF.
  void Line(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char line[2048];
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    buffer_.append(line, static_cast<size_t>(n));
    buffer_ += "\r\n";
    if (buffer_.size() > (1u << 20)) Flush();
  }
  void Flush() {
    written_ += static_cast<int64_t>(std::fwrite(buffer_.data(), 1, buffer_.size(), out_));
    buffer_.clear();
  }
  int64_t Written() const { return written_ + static_cast<int64_t>(buffer_.size()); }

 private:
  std::FILE* out_;
  std::string buffer_;
  int64_t written_ = 0;
};

// Windows-1250 words with Polish letters.
const char* const kWorks[] = {
    "Rozebranie ok\xB3" "adzin \x9C" "ciennych z p\xB3ytek ceramicznych",
    "Wykonanie tynk\xF3w wewn\xEAtrznych zwyk\xB3ych kat. III",
    "Monta\xBF rur z tworzyw sztucznych \xB3\xB9" "czonych zgrzewanych",
    "Uk\xB3" "adanie posadzek z p\xB3ytek gresowych na zaprawie klejowej",
    "Malowanie \x9C" "cian farb\xB9 emulsyjn\xB9 dwukrotnie",
    "Wywiezienie gruzu samochodem samowy\xB3" "adowczym na odleg\xB3o\x9C\xE6 do 1 km",
};
// Hex escapes end where a literal ends ("\xF3" "d"): the split is meant.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wstring-concatenation"
#endif
const char* const kLabour[] = {"robotnicy", "murarze", "tynkarze", "malarze"};
const char* const kMaterials[] = {
    "zaprawa klejowa elastyczna", "p\xB3ytki gresowe 30x30 cm", "farba emulsyjna bia\xB3" "a",
    "rura PP \xF8" "20 mm", "cement portlandzki 32,5"};
const char* const kEquipment[] = {"samoch\xF3" "d samowy\xB3" "adowczy 5 t", "betoniarka 150 dm3",
                                  "rusztowanie przej\x9D" "dne"};
const char* const kUnits[] = {"m2", "m3", "m", "szt.", "kg"};

std::string Decimal(uint32_t hundredths) {
  return std::to_string(hundredths / 100) + "," + std::to_string(hundredths / 10 % 10) +
         std::to_string(hundredths % 10);
}

void WriteResource(Writer& w, Random& r, int element, int position, int n, char kind) {
  w.Line("[RMS %d.%d.%d]", element, position, n);
  const char* name = kind == 'R'   ? kLabour[r.Below(4)]
                     : kind == 'M' ? kMaterials[r.Below(5)]
                     : kind == 'S' ? kEquipment[r.Below(3)]
                                   : "materia\xB3y pomocnicze r\xF3\xBFne";
  if (kind != 'A') w.Line("Typ=%c", kind);
  w.Line("Nazwa=%s", name);
  w.Line("Indeks=%u", 1000 + r.Below(9000));
  w.Line("JM=%s", kind == 'R' ? "r-g" : kind == 'S' ? "m-g" : kUnits[r.Below(5)]);
  w.Line("Cena=%s", Decimal(100 + r.Below(50000)).c_str());
  w.Line("Tarvo=%s", Decimal(1 + r.Below(400)).c_str());
  if (r.Below(4) == 0) w.Line("Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=%s", Decimal(90 + r.Below(40)).c_str());
  if (r.Below(8) == 0) w.Line("Ilo\x9C\xE6 inwestora=%s", Decimal(100 + r.Below(5000)).c_str());
  if (kind == 'M') {
    w.Line("Koszty zakupu=%s", r.Below(10) ? "5" : "3,5");
    w.Line("Zysk Kz=12");
  } else {
    w.Line("Koszty po\x9Crednie=%s", r.Below(10) ? "65" : "70");
    w.Line("Zysk Kp=%s", r.Below(10) ? "12" : "10");
  }
  w.Line("Zysk Kb=%s", r.Below(20) ? "12" : "11");
}

}  // namespace

int64_t WriteEstimate(std::FILE* out, int positions) {
  Writer w(out);
  Random r;
  w.Line("[Plik]");
  w.Line("Opis=Kosztorys syntetyczny: %d pozycji, roboty og\xF3lnobudowlane i instalacyjne",
         positions);
  w.Line("Symbol dziesi\xEAtny=,");
  w.Line("");
  w.Line("[Kosztorys]");
  w.Line("Nazwa=Budynek mieszkalny wielorodzinny, \xA3\xF3" "d\x9F, ul. \x8F" "r\xF3" "dlana 7");
  w.Line("Liczba poziom\xF3w=2");
  w.Line("Uwagi=Ceny na IV kwarta\xB3, bez podatku VAT");
  int element = 0, inElement = 0;
  for (int p = 1; p <= positions; ++p) {
    if (inElement == 0) {
      ++element;
      inElement = 10 + static_cast<int>(r.Below(30));
      w.Line("");
      w.Line("[Element %d]", element);
      w.Line("Opis=Roboty w kondygnacji %d, \x9C" "ciany i posadzki", element);
      w.Line("Obmiar=1");
      w.Line("JM=1\tkpl.");
    }
    --inElement;
    w.Line("");
    w.Line("[Pozycja %d.%d]", element, p);
    w.Line("Katalog=KNR");
    w.Line("Kolumna=%02u%02u-%04u-%02u", 2 + r.Below(5), 1 + r.Below(20), 100 + r.Below(900),
           1 + r.Below(20));
    if (p % 1000 == 0) {
      std::string longText(400, 'x');
      for (size_t i = 0; i < longText.size(); ++i) longText[i] = "abcdefgh \xB3\xF3\xEA"[i % 12];
      w.Line("Opis=%s", longText.c_str());
    } else {
      w.Line("Opis=%s", kWorks[r.Below(6)]);
    }
    w.Line("Obmiar=%s", Decimal(100 + r.Below(100000)).c_str());
    w.Line("JM=%s", kUnits[r.Below(5)]);
    w.Line("Cena=%s", Decimal(r.Below(100000)).c_str());
    if (r.Below(5) == 0) w.Line("Krotno\x9C\xE6=%u", 2 + r.Below(8));
    w.Line("Przedmiar 1=%s*%s", Decimal(100 + r.Below(900)).c_str(), Decimal(100 + r.Below(400)).c_str());
    w.Line("Komentarz 1=\x9C" "ciana %u", 1 + r.Below(20));
    if (r.Below(2) == 0) w.Line("Przedmiar 2=%s", Decimal(100 + r.Below(9000)).c_str());
    if (r.Below(3) == 0) w.Line("Materia\xB3y pomocnicze=%u", 1 + r.Below(5));
    const char kinds[] = {'R', 'M', 'M', 'S', 'R', 'A'};
    const int resources = 4 + static_cast<int>(r.Below(3));
    for (int n = 1; n <= resources; ++n) WriteResource(w, r, element, p, n, kinds[n - 1]);
  }
  w.Flush();
  return w.Written();
}

}  // namespace imp_bench
