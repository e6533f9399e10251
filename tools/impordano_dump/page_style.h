// The HTML page's stylesheet, inline in the page so that it needs nothing
// from anywhere else: for the screen and for print.
#ifndef IMPORDANO_DUMP_PAGE_STYLE_H_
#define IMPORDANO_DUMP_PAGE_STYLE_H_

namespace impdump {

extern const char kPageStyle[];

}  // namespace impdump

#endif  // IMPORDANO_DUMP_PAGE_STYLE_H_
