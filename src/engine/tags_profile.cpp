// Tags for the partner's profile and the conversation's bookkeeping: names,
// sex, birthday, what was said, the turn count and the minutes of talk.
#include "data/text_helpers.h"
#include "engine/character.h"
#include "engine/tag_functions.h"

namespace parlevo::tags {

std::u16string FamilyName(TTagContext& tag) { return ToWide(tag.Character.User().FamilyName); }

std::u16string GivenName(TTagContext& tag) { return ToWide(tag.Character.User().GivenName); }

std::u16string FullName(TTagContext& tag) {
  const TUser& user = tag.Character.User();
  return ToWide(user.FamilyName) + ToWide(user.GivenName);
}

std::u16string Nickname(TTagContext& tag) { return ToWide(tag.Character.User().Nickname); }

std::u16string Sex(TTagContext& tag) { return TruthText(tag.Character.User().Sex); }

std::u16string Birthday(TTagContext& tag) {
  return DateText("yyyy/mm/dd", tag.Character.User().Birthday);
}

std::u16string OperateMessage(TTagContext& tag) { return ToWide(tag.Character.OperateMessage()); }

std::u16string Prev(TTagContext& tag) { return ToWide(tag.Character.Input()); }

std::u16string PrevAnswer(TTagContext& tag) { return ToWide(tag.Character.LastAnswer()); }

std::u16string Turn(TTagContext& tag) { return IntText(tag.Character.TalkCount()); }

// The minutes part of the time since the character was loaded (0-59): whole
// hours are not counted.
std::u16string Work(TTagContext& tag) { return DateText("n", tag.Now - tag.Character.StartTime()); }

}  // namespace parlevo::tags
