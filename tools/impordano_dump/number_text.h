// Numbers as a Polish reader writes them, for the HTML page.
#ifndef IMPORDANO_DUMP_NUMBER_TEXT_H_
#define IMPORDANO_DUMP_NUMBER_TEXT_H_

#include <string>

namespace impdump {

// The shortest text that reads back as the same double, with a decimal
// comma: 18.45 gives "18,45", 24.0 gives "24". Magnitudes from 1e-6 up to
// 1e21 are written out in full; smaller and larger ones with an exponent
// ("1,5e+300"). NaN and the infinities give "NaN", "∞" and "-∞" (UTF-8).
std::string DecimalCommaText(double value);

}  // namespace impdump

#endif  // IMPORDANO_DUMP_NUMBER_TEXT_H_
