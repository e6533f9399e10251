// The viewer's side in WebAssembly: the worker calls these functions to
// import an estimate and to have its page rendered. The import runs through
// impordano-dump's own session, so the page and the saved files are byte for
// byte what the tool writes.
//
// One estimate is open at a time. Text results (the page's body, an
// element's parts, messages) are left in one buffer that the worker reads
// through viewer_text() before its next call.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "estimate_page.h"
#include "module.h"
#include "options.h"
#include "page_style.h"
#include "session.h"
#include "workbook_writer.h"

namespace {

std::unique_ptr<impdump::Module> g_module;
std::unique_ptr<imppage::EstimatePage> g_page;
std::string g_text;

const impdump::ModuleExports* Exports() {
  if (!g_module) {
    std::string error;
    g_module = impdump::OpenModule("", &error);  // linked in: cannot fail
  }
  return &g_module->exports();
}

imppage::Language LanguageOf(int code) {
  return code == 1 ? imppage::Language::kEnglish : imppage::Language::kPolish;
}

// A stream of the session's messages, kept in g_text.
class MessageStream {
 public:
  MessageStream() : file_(open_memstream(&buffer_, &size_)) {}
  ~MessageStream() {
    if (file_) std::fclose(file_);
    std::free(buffer_);
  }
  std::FILE* file() { return file_ ? file_ : stderr; }
  std::string Text() {
    if (!file_) return "";
    std::fflush(file_);
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

impdump::Options OptionsFor(const char* path, impdump::Mode mode, int language) {
  impdump::Options options;
  options.mode = mode;
  options.file = path;
  options.language = LanguageOf(language);
  return options;
}

// What the viewer's functions return: impordano-dump's exit statuses
// (impdump::kExit*), and one of the viewer's own for running out of memory,
// in its own code or in the module's, which the page words itself.
// viewer-worker.js names each one (STATUS).
constexpr int kOutOfMemory = 5;
static_assert(kOutOfMemory > impdump::kExitCannotWrite && kOutOfMemory < impdump::kExitUsage,
              "the viewer's status is none of the tool's");

bool Keep(std::string_view piece) {
  g_text.append(piece);
  return true;
}

}  // namespace

extern "C" {

// Imports the estimate at `path` and keeps its page. Returns the status; on
// another failure than kOutOfMemory viewer_text() holds the tool's message.
EMSCRIPTEN_KEEPALIVE int viewer_open(const char* path) {
  g_page.reset();
  g_text.clear();
  MessageStream messages;
  try {
    auto page = std::make_unique<imppage::EstimatePage>();
    bool moduleOutOfMemory = false;
    const int status =
        impdump::LoadEstimatePage(*Exports(), OptionsFor(path, impdump::Mode::kHtml, 0),
                                  messages.file(), page.get(), &moduleOutOfMemory);
    g_text = messages.Text();
    if (status == impdump::kExitOk) g_page = std::move(page);
    return moduleOutOfMemory ? kOutOfMemory : status;
  } catch (const std::bad_alloc&) {
    Exports()->end();
    g_page.reset();
    g_text.clear();
    return kOutOfMemory;
  }
}

EMSCRIPTEN_KEEPALIVE int viewer_position_count() {
  return g_page ? static_cast<int>(g_page->positionCount()) : 0;
}

EMSCRIPTEN_KEEPALIVE int viewer_element_count() {
  return g_page ? static_cast<int>(g_page->elementCount()) : 0;
}

// The page's body into viewer_text(): every element open with its parts, or
// (on_demand) closed, each with a placeholder for viewer_parts(). Returns 0,
// or kOutOfMemory.
EMSCRIPTEN_KEEPALIVE int viewer_body(int language, int on_demand) {
  g_text.clear();
  if (!g_page) return impdump::kExitOk;
  try {
    g_page->RenderBody(imppage::WordsFor(LanguageOf(language)),
                       on_demand ? imppage::EstimatePage::Parts::kOnDemand
                                 : imppage::EstimatePage::Parts::kAll,
                       Keep);
    return impdump::kExitOk;
  } catch (const std::bad_alloc&) {
    g_text.clear();
    return kOutOfMemory;
  }
}

// The lines, resources and positions of element `id` into viewer_text().
EMSCRIPTEN_KEEPALIVE int viewer_parts(int id, int language) {
  g_text.clear();
  if (!g_page) return impdump::kExitOk;
  try {
    g_page->RenderElementParts(id, imppage::WordsFor(LanguageOf(language)), Keep);
    return impdump::kExitOk;
  } catch (const std::bad_alloc&) {
    g_text.clear();
    return kOutOfMemory;
  }
}

// The section of the findings into viewer_text(), as the page has it, each
// finding of a position linking to it. Returns 0, or kOutOfMemory.
EMSCRIPTEN_KEEPALIVE int viewer_findings(int language) {
  g_text.clear();
  if (!g_page) return impdump::kExitOk;
  try {
    g_page->RenderFindings(imppage::WordsFor(LanguageOf(language)), Keep);
    return impdump::kExitOk;
  } catch (const std::bad_alloc&) {
    g_text.clear();
    return kOutOfMemory;
  }
}

// The id of the element holding position `number`, whose parts
// viewer_parts() gives; -1 for none.
EMSCRIPTEN_KEEPALIVE int viewer_position_element(double number) {
  return g_page ? g_page->ElementOfPosition(static_cast<int64_t>(number)) : -1;
}

// Writes to the file `out` what `impordano-dump --html` writes for the open
// estimate: its kept page, rendered as the tool renders it after the same
// two imports. Returns the exit status.
EMSCRIPTEN_KEEPALIVE int viewer_save_page(int language, const char* out) {
  g_text.clear();
  if (!g_page) return impdump::kExitCannotRead;
  std::FILE* file = std::fopen(out, "wb");
  if (!file) return impdump::kExitCannotWrite;
  int status = impdump::kExitOk;
  try {
    const bool written = g_page->Render(
        imppage::WordsFor(LanguageOf(language)), [file](std::string_view piece) {
          return std::fwrite(piece.data(), 1, piece.size(), file) == piece.size();
        });
    if (!written) status = impdump::kExitCannotWrite;
  } catch (const std::bad_alloc&) {
    status = kOutOfMemory;
  }
  if (std::fclose(file) != 0 && status == impdump::kExitOk) status = impdump::kExitCannotWrite;
  return status;
}

// Writes to the file `out` what `impordano-dump --xlsx` writes for the open
// estimate: the workbook of its kept page, dated `created` (the file's
// lastModified in seconds since 1970, as the tool takes its modification
// time). Returns the exit status; on failure viewer_text() holds the reason.
EMSCRIPTEN_KEEPALIVE int viewer_save_workbook(int language, double created, const char* out) {
  g_text.clear();
  if (!g_page) return impdump::kExitCannotRead;
  imppage::WorkbookSettings settings;
  settings.created = static_cast<int64_t>(std::floor(created));
  try {
    if (imppage::WriteWorkbook(*g_page, imppage::WordsFor(LanguageOf(language)), settings, out,
                               &g_text)) {
      return impdump::kExitOk;
    }
    return impdump::kExitCannotWrite;
  } catch (const std::bad_alloc&) {
    g_text = "out of memory";
    return kOutOfMemory;
  }
}

// Writes to the file `out` what `impordano-dump` writes for the estimate at
// `path`: its records as JSON Lines, from an import of their own. Returns
// the status; on another failure than kOutOfMemory viewer_text() holds the
// message.
EMSCRIPTEN_KEEPALIVE int viewer_save_records(const char* path, const char* out) {
  g_text.clear();
  std::FILE* file = std::fopen(out, "wb");
  if (!file) return impdump::kExitCannotWrite;
  MessageStream messages;
  int status;
  try {
    bool moduleOutOfMemory = false;
    status = impdump::RunSession(*Exports(), OptionsFor(path, impdump::Mode::kRecords, 0), file,
                                 messages.file(), &moduleOutOfMemory);
    g_text = messages.Text();
    if (moduleOutOfMemory) status = kOutOfMemory;
  } catch (const std::bad_alloc&) {
    Exports()->end();
    g_text.clear();
    status = kOutOfMemory;
  }
  // A close that fails fails the save, as in viewer_save_page.
  if (std::fclose(file) != 0 && status == impdump::kExitOk) status = impdump::kExitCannotWrite;
  return status;
}

EMSCRIPTEN_KEEPALIVE const char* viewer_text() { return g_text.c_str(); }
EMSCRIPTEN_KEEPALIVE int viewer_text_size() { return static_cast<int>(g_text.size()); }
EMSCRIPTEN_KEEPALIVE const char* viewer_style() { return imppage::kPageStyle; }

// Frees the open estimate.
EMSCRIPTEN_KEEPALIVE void viewer_close() {
  g_page.reset();
  std::string().swap(g_text);
}

}  // extern "C"
