#include "records/summary_record.h"

#include <cstring>

#include "records/section_reading.h"

namespace imp {
namespace {

// The array's room is part of the layout hosts read: 20 items (5,120
// bytes), of which at most 6 are written (indirect costs and their own "S"
// item, purchase costs, profit and its own "M" and "S" items).
struct CostItemArray {
  CostItem items[20];
};

constexpr char kIndirect[] = "Koszty po\x9Crednie";
constexpr char kIndirectEquipment[] = "Koszty po\x9Crednie S";
constexpr char kPurchase[] = "Koszty zakupu";
constexpr char kProfit[] = "Zysk";
constexpr char kProfitMaterial[] = "Zysk M";
constexpr char kProfitEquipment[] = "Zysk S";

class CostItems {
 public:
  explicit CostItems(CostItem* items) : items_(items) {}

  CostItem* Start(const char* name, size_t nameSize) {
    CostItem* item = &items_[count_++];
    std::memset(item, 0, sizeof *item);
    item->reserved72 = 1;
    item->reserved160 = 1;
    item->reserved168 = -1;
    std::memcpy(item->name, name, nameSize);
    return item;
  }
  int32_t Count() const { return count_; }

 private:
  CostItem* items_;
  int32_t count_ = 0;
};

// Profit applies to a cost group with 'W' when the group's most frequent
// basis rate equals the profit rate, else with 'B'.
int32_t ProfitBasis(double basisRate, double profitRate) {
  return basisRate == profitRate ? IMP_BASIS_PROFIT_W : IMP_BASIS_APPLIES;
}

}  // namespace

// Every surcharge takes its most frequent rate. A labour rate goes into the
// surcharge's main item; an equipment or material rate joins it when equal
// and otherwise gets an item of its own ("... S", "... M").
template <class Reading>
void BuildSummary(SummaryRecord* record, const SurchargeTallies& t, Reading& reading) {
  std::memset(record, 0, sizeof *record);
  record->recordTag = IMP_TAG_SUMMARY;
  record->reserved4 = 1;
  record->itemSize = sizeof(CostItem);
  CostItems items(reading.template NewBlock<CostItemArray>(&record->items)->items);

  const double indirectR = t.indirectCost.MostFrequent(IMP_KIND_LABOUR);
  const double indirectS = t.indirectCost.MostFrequent(IMP_KIND_EQUIPMENT);
  CostItem* indirect = items.Start(kIndirect, sizeof kIndirect);
  if (indirectR != 0.0) {
    indirect->rate = indirectR;
    indirect->labourBasis = IMP_BASIS_APPLIES;
  }
  if (indirectS != 0.0) {
    if (indirectS == indirectR) {
      indirect->equipmentBasis = IMP_BASIS_APPLIES;
    } else {
      CostItem* own = items.Start(kIndirectEquipment, sizeof kIndirectEquipment);
      own->rate = indirectS;
      own->equipmentBasis = IMP_BASIS_APPLIES;
    }
  }

  CostItem* purchase = items.Start(kPurchase, sizeof kPurchase);
  purchase->rate = t.purchaseCost.MostFrequent();
  purchase->materialBasis = IMP_BASIS_APPLIES;

  CostItem* profit = items.Start(kProfit, sizeof kProfit);
  const double profitR = t.profitKb.MostFrequent(IMP_KIND_LABOUR);
  const double profitM = t.profitKb.MostFrequent(IMP_KIND_MATERIAL);
  const double profitS = t.profitKb.MostFrequent(IMP_KIND_EQUIPMENT);
  if (profitR != 0.0) {
    profit->rate = profitR;
    profit->labourBasis = ProfitBasis(t.profitKp.MostFrequent(IMP_KIND_LABOUR), profitR);
  }
  if (profitM != 0.0) {
    CostItem* target = profit;
    if (profitM != profitR) {
      target = items.Start(kProfitMaterial, sizeof kProfitMaterial);
      target->rate = profitM;
    }
    target->materialBasis = ProfitBasis(t.profitKz.MostFrequent(), profitM);
  }
  if (profitS != 0.0) {
    CostItem* target = profit;
    if (profitS != profitR) {
      target = items.Start(kProfitEquipment, sizeof kProfitEquipment);
      target->rate = profitS;
    }
    target->equipmentBasis = ProfitBasis(t.profitKp.MostFrequent(IMP_KIND_EQUIPMENT), profitS);
  }

  record->itemCount = items.Count();
}

template void BuildSummary(SummaryRecord*, const SurchargeTallies&, RecordReading&);
template void BuildSummary(SummaryRecord*, const SurchargeTallies&, PlanReading&);

}  // namespace imp
