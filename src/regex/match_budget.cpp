// The budget's bookkeeping: holders holding anything are listed, so a reset
// reaches each of them once and a holder leaves the list in constant time.
#include "regex/match_budget.h"

namespace parlevo {

TbmREMatchBudget::~TbmREMatchBudget() {
  for (TbmREBudgetHolder* holder : holders_) {
    holder->held_ = 0;
    holder->slot_ = -1;
  }
}

bool TbmREMatchBudget::Take(TbmREBudgetHolder& holder, size_t bytes) {
  if (bytes > limit_ - used_) return false;
  used_ += bytes;
  holder.held_ += bytes;
  if (holder.slot_ < 0) {
    holder.slot_ = static_cast<int32_t>(holders_.size());
    holders_.push_back(&holder);
  }
  return true;
}

void TbmREMatchBudget::Forget(TbmREBudgetHolder& holder) {
  if (holder.slot_ < 0) return;
  used_ -= holder.held_;
  holder.held_ = 0;
  TbmREBudgetHolder* last = holders_.back();
  holders_[static_cast<size_t>(holder.slot_)] = last;
  last->slot_ = holder.slot_;
  holders_.pop_back();
  holder.slot_ = -1;
}

void TbmREMatchBudget::ReleaseAll() {
  ++resets_;
  std::vector<TbmREBudgetHolder*> holders;
  holders.swap(holders_);
  used_ = 0;
  for (TbmREBudgetHolder* holder : holders) {
    holder->held_ = 0;
    holder->slot_ = -1;
    holder->ReleaseAll();
  }
}

}  // namespace parlevo
