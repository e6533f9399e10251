// The HTML page's stylesheet, inline in the page so that it needs nothing
// from anywhere else: for the screen and for print.
#ifndef IMPORDANO_PAGE_PAGE_STYLE_H_
#define IMPORDANO_PAGE_PAGE_STYLE_H_

namespace imppage {

extern const char kPageStyle[];

}  // namespace imppage

#endif  // IMPORDANO_PAGE_PAGE_STYLE_H_
