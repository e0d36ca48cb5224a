// Test access to a character's conversation bookkeeping, which only Talk
// writes in the program: tag tests set it up directly.
#ifndef PARLEVO_TESTS_COMMON_CHARACTER_TEST_ACCESS_H_
#define PARLEVO_TESTS_COMMON_CHARACTER_TEST_ACCESS_H_

#include <string>

#include "engine/character.h"

namespace parlevo {

class TCharacterTestAccess {
 public:
  explicit TCharacterTestAccess(TCharacter& character) : c_(character) {}
  void SetFolder(std::string folder) { c_.Folder_ = std::move(folder); }
  void SetStateUse(TStateUse use) { c_.Options_.StateUse = use; }
  void SetInput(std::string input) { c_.Input_ = std::move(input); }
  void SetOperateMessage(std::string message) { c_.OperateMessage_ = std::move(message); }
  void SetLastAnswer(std::string answer) { c_.LastAnswer_ = std::move(answer); }
  void SetTalkCount(int32_t count) { c_.TalkCount_ = count; }
  void SetStartTime(double time) { c_.StartTime_ = time; }
  void ReplaceData(int slot, std::unique_ptr<TLumoData> data) {
    c_.Data_.at(static_cast<size_t>(slot)) = std::move(data);
  }

 private:
  TCharacter& c_;
};

}  // namespace parlevo

#endif  // PARLEVO_TESTS_COMMON_CHARACTER_TEST_ACCESS_H_
