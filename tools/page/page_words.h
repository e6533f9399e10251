// Every word the page writes of its own, in each language it speaks. The
// people who read estimates work in Polish, so Polish is the default;
// English serves everyone else. The words are UTF-8, as the page is.
#ifndef IMPORDANO_PAGE_PAGE_WORDS_H_
#define IMPORDANO_PAGE_PAGE_WORDS_H_

#include <string>

#include "check/passed_over.h"

namespace imppage {

enum class Language { kPolish, kEnglish };

struct PageWords {
  const char* languageTag;  // the page's lang attribute
  // The head.
  const char* noEstimateRecord;
  const char* remarksCount;
  const char* levels;
  const char* elements;
  const char* positions;
  const char* unknownRecords;
  // Resource kinds, and codes that are none of them.
  const char* labour;
  const char* materials;
  const char* equipment;
  const char* auxiliary;
  const char* noKind;
  const char* kind;  // followed by the letter or number
  // The surcharges.
  const char* surcharges;
  const char* noSummary;
  const char* surcharge;
  const char* rate;
  const char* basisNone;
  const char* basisApplies;
  const char* basisAtRate;  // followed by the profit key and atRateEnd
  const char* atRateEnd;
  const char* basisCode;    // followed by the code
  // "The items cannot be read: N items of M bytes."
  const char* unreadableItems;
  const char* unreadableItemsOf;
  const char* unreadableItemsEnd;
  // The tree and its tables.
  const char* tree;
  const char* beforeFirstElement;
  const char* strays;
  const char* quantityUnreadable;
  const char* positionNumber;
  const char* basis;
  const char* description;
  const char* unit;
  const char* quantity;
  const char* multiplicity;
  const char* price;
  const char* simplified;
  const char* takeOff;
  const char* lineNumber;
  const char* measurement;
  const char* comment;
  const char* index;
  const char* name;
  const char* consumption;
  const char* formula;
  const char* investorQuantity;
  const char* yes;
  // The workbook's own: the names of its sheets that the page has no word
  // for, and the column of the element a row stands in.
  const char* estimateSheet;
  const char* resourcesSheet;
  const char* element;
  // What the import passed over (impordano-dump --check, and the page's
  // section of it): the heading, the line with no finding, the words of a
  // finding's line and of the counts, and for each kind (imp::PassedOver)
  // its name and its sentence. A sentence names what it shows in braces:
  // {key}, {written}, {rest} (quoted file texts), {taken}, {length},
  // {keeps}, {other} (a line number), {summaryRate}, {summaryCount}, {kind}
  // (" (R)", or nothing for a tally of all kinds).
  const char* findingsTitle;
  const char* noFindings;
  const char* line;
  const char* section;
  const char* finding;
  const char* findingsCount;  // followed by the total and the counts by kind
  // "The first N of M findings of this kind are shown."
  const char* findingsShown;
  const char* findingsShownOf;
  const char* findingsShownEnd;
  const char* kindNames[imp::kPassedOverKinds];
  const char* sentences[imp::kPassedOverKinds];
};

const PageWords& WordsFor(Language language);

// "pl" and "en"; false for any other name.
bool LanguageFromName(const std::string& name, Language* language);

}  // namespace imppage

#endif  // IMPORDANO_PAGE_PAGE_WORDS_H_
