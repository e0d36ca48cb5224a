// The two small stacks of the tag expander. Popping an empty stack gives the
// empty value and changes nothing.
#ifndef PARLEVO_DATA_STACKS_H_
#define PARLEVO_DATA_STACKS_H_

#include <string>
#include <vector>

namespace parlevo {

template <typename T>
class TStack {
 public:
  void Push(T value) { Items.push_back(std::move(value)); }
  T Pop() {
    if (Items.empty()) return T();
    T value = std::move(Items.back());
    Items.pop_back();
    return value;
  }
  int Count() const { return static_cast<int>(Items.size()); }

 private:
  std::vector<T> Items;
};

using TStrStack = TStack<std::string>;
using TIntStack = TStack<int>;

}  // namespace parlevo

#endif  // PARLEVO_DATA_STACKS_H_
