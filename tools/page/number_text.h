// Numbers and formulas as a Polish reader writes them, for the page.
#ifndef IMPORDANO_PAGE_NUMBER_TEXT_H_
#define IMPORDANO_PAGE_NUMBER_TEXT_H_

#include <string>
#include <string_view>

namespace imppage {

// The value rounded to 10 significant digits, without trailing zeros, with
// a decimal comma: 18.45 gives "18,45", 24.0 "24", 0.1 + 0.2 "0,3" (a double
// carries about 16 digits, of which the last are noise of the binary form;
// no estimate states a quantity or a price to 10 digits). Magnitudes from
// 1e-6 up to 1e21 are written out in full, smaller and larger ones with an
// exponent ("1,5e+300"); both zeros give "0". NaN and the infinities give
// "NaN", "∞" and "-∞" (UTF-8).
std::string ReadableNumber(double value);

// The value with the fewest significant digits that read back as the same
// double, with '.', as ReadableNumber lays it out: 0.25 gives "0.25", 2.0
// "2", 0.1 + 0.2 "0.30000000000000004". NaN and the infinities give "NaN",
// "Infinity" and "-Infinity". The check names the values it took so.
std::string ExactNumber(double value);

// A formula as the record holds it ("0.250000*1.5"), with a decimal comma
// wherever a point stands between two digits ("0,250000*1,5"). Other
// points stay. Works on Windows-1250 and UTF-8 alike: only ASCII changes.
std::string FormulaWithDecimalComma(std::string_view text);

}  // namespace imppage

#endif  // IMPORDANO_PAGE_NUMBER_TEXT_H_
