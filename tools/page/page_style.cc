#include "page_style.h"

namespace imppage {

const char kPageStyle[] = R"css(
:root { color-scheme: light; --line: #c8ccd2; --soft: #f3f4f6; --muted: #5b6270; }
body { font: 15px/1.45 "DejaVu Sans", "Segoe UI", Arial, sans-serif; color: #1d2330;
  margin: 0 auto; max-width: 75rem; padding: 1.5rem; }
h1 { font-size: 1.6rem; margin: 0 0 .5rem; }
h2 { font-size: 1.2rem; margin: 2rem 0 .6rem; border-bottom: 2px solid var(--line); }
h3 { font-size: 1rem; }
.description { margin: 0 0 1rem; max-width: 60rem; }
.facts { display: flex; flex-wrap: wrap; gap: .4rem 1.6rem; margin: 0; }
.facts div { display: flex; gap: .4rem; }
.facts dt { color: var(--muted); }
.facts dd { margin: 0; font-weight: 600; }
table { border-collapse: collapse; width: 100%; margin: .3rem 0 .8rem; }
th, td { border: 1px solid var(--line); padding: .25rem .45rem; text-align: left;
  vertical-align: top; overflow-wrap: anywhere; }
th { overflow-wrap: normal; }
th { background: var(--soft); font-weight: 600; }
.num { text-align: right; white-space: nowrap; }
caption { text-align: left; font-weight: 600; padding: .2rem 0; }
.surcharges table { width: auto; }
details.element { margin: .6rem 0 .6rem .2rem; }
details.element details.element { margin-left: 1.2rem; }
summary { cursor: pointer; font-weight: 600; padding: .35rem .5rem; background: var(--soft);
  border-left: 4px solid #2f5d9b; }
details.level-1 > summary { font-size: 1.1rem; }
summary .number { display: inline-block; min-width: 2.5rem; }
summary .amount { font-weight: 400; color: var(--muted); margin-left: .8rem; }
tr.position { background: #fbfcfe; }
tr.position td { font-weight: 500; }
tr.position-parts > td { border-top: none; padding: 0 .45rem .4rem; }
tr.position-parts table { font-size: .9em; margin: .4rem 0 0; }
tr.position-parts caption { font-size: .95em; color: var(--muted); }
/* The same columns in every resource table and every take-off. */
table.resources, table.lines { table-layout: fixed; }
table.resources th:nth-child(1) { width: 10%; }
table.resources th:nth-child(2) { width: 28%; }
table.resources th:nth-child(3) { width: 8%; }
table.resources th:nth-child(4) { width: 12%; }
table.resources th:nth-child(5) { width: 15%; }
table.resources th:nth-child(6) { width: 11%; }
table.resources th:nth-child(7) { width: 16%; }
table.lines th:nth-child(1) { width: 4rem; }
table.lines th:nth-child(2) { width: 50%; }
.basis { white-space: nowrap; }
.detail, .unit-name { display: block; font-size: .85em; color: var(--muted); white-space: normal; }
.formula { font-family: "DejaVu Sans Mono", Consolas, monospace; }
.tag { font-size: .8em; border: 1px solid var(--line); border-radius: .3rem; padding: 0 .3rem;
  color: var(--muted); }
.note { color: #8a3b12; }
@media print {
  @page { margin: 14mm 12mm; }
  body { font-size: 9.5pt; max-width: none; padding: 0; }
  summary { list-style: none; cursor: auto; background: none; border-left: none;
    border-bottom: 1px solid #000; padding-left: 0; }
  summary::-webkit-details-marker { display: none; }
  main > details.element ~ details.element { break-before: page; }
  tbody.position-group { break-inside: avoid; }
  caption, summary { break-after: avoid; }
  thead { display: table-header-group; }
  th { background: none; }
  tr.position { background: none; }
}
/* Printing shows collapsed elements too; in a rule of its own, since a
   browser that does not know the selector drops the whole rule. */
@media print {
  details::details-content { content-visibility: visible; display: contents; }
}
)css";

}  // namespace imppage
