#include "text.h"

#include <cerrno>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace impdump {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

#if defined(_WIN32)

bool UndefinedInCp1250(unsigned char c) {
  return c == 0x81 || c == 0x83 || c == 0x88 || c == 0x90 || c == 0x98;
}

// Converts a run of bytes that are all defined in the code page.
void AppendDefinedRun(const char* text, int size, std::string* out) {
  if (size == 0) return;
  int wide = MultiByteToWideChar(1250, 0, text, size, nullptr, 0);
  std::wstring buffer(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(1250, 0, text, size, &buffer[0], wide);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, nullptr, 0,
                                  nullptr, nullptr);
  std::size_t start = out->size();
  out->resize(start + static_cast<std::size_t>(bytes));
  WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, &(*out)[start], bytes,
                      nullptr, nullptr);
}

}  // namespace

std::string Utf8FromCp1250(const char* text, std::size_t size) {
  // MultiByteToWideChar maps the undefined bytes to C1 controls rather than
  // failing, so they are cut out here and replaced explicitly.
  std::string out;
  out.reserve(size + size / 4);
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (UndefinedInCp1250(static_cast<unsigned char>(text[i]))) {
      AppendDefinedRun(text + runStart, static_cast<int>(i - runStart), &out);
      out += kReplacement;
      runStart = i + 1;
    }
  }
  AppendDefinedRun(text + runStart, static_cast<int>(size - runStart), &out);
  return out;
}

#else  // POSIX: iconv

class Converter {
 public:
  Converter() : cd_(iconv_open("UTF-8", "CP1250")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(
          "iconv cannot convert from CP1250 to UTF-8 on this system");
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::string Convert(const char* text, std::size_t size) {
    std::string out;
    // Every Windows-1250 byte becomes at most 3 UTF-8 bytes.
    std::string chunk(3 * 256, '\0');
    char* in = const_cast<char*>(text);
    std::size_t inLeft = size;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
      char* outPtr = &chunk[0];
      std::size_t outLeft = chunk.size();
      std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      out.append(chunk.data(), chunk.size() - outLeft);
      if (rc == static_cast<std::size_t>(-1)) {
        if (errno == E2BIG) continue;
        // EILSEQ (a byte the code page leaves undefined) or anything else:
        // one byte cannot be converted; replace it and go on.
        out += kReplacement;
        ++in;
        --inLeft;
      }
    }
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string Utf8FromCp1250(const char* text, std::size_t size) {
  // The tool is single-threaded; one conversion descriptor serves all texts.
  static Converter converter;
  return converter.Convert(text, size);
}

#endif

}  // namespace impdump
