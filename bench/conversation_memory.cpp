// Memory over a long conversation: two generated characters of many kind B
// entries whose answers the other's patterns match (Answers::kTalk) answer
// each other, and the resident memory and heap are reported after the first
// line and at checkpoints up to the last one, with the CPU time per line
// between them.
//
// With --new-topics each also hears two of the patterns' words and a number
// of its own after the other's line, so that new patterns keep being found
// and checked, as in a conversation that keeps touching new topics.
//
//   conversation_memory [--new-topics] [ENTRIES [LINES]]   (default 100000 40000)
#include <malloc.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/character.h"
#include "generated_character.h"
#include "platform/codepage.h"

namespace {

using parlevo::TCharacter;
using parlevo::bench::Answers;
using parlevo::bench::EntryKind;
using parlevo::bench::GeneratedCharacter;

// Resident memory of the process (MiB), from /proc/self/statm.
double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * 4096.0 / (1 << 20);
}

// Heap in use (MiB, glibc): what is held, whatever was handed back.
double HeapMiB() { return static_cast<double>(mallinfo2().uordblks) / (1 << 20); }

// CPU time of the process so far (ms): the cost of the lines between reports.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  parlevo::platform::SetProcessCodePage(parlevo::platform::kCodePage932);
  bool new_topics = false;
  std::vector<long> numbers;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--new-topics") {
      new_topics = true;
      continue;
    }
    char* end = nullptr;
    const long value = std::strtol(argv[i], &end, 10);
    if (end == argv[i] || *end != '\0' || value < 1) {
      std::fprintf(stderr, "usage: conversation_memory [--new-topics] [ENTRIES [LINES]]\n");
      return 2;
    }
    numbers.push_back(value);
  }
  const int entries = numbers.size() > 0 ? static_cast<int>(numbers[0]) : 100000;
  const long lines = numbers.size() > 1 ? numbers[1] : 40000;

  const GeneratedCharacter first(entries, EntryKind::kB, "いち", 7, Answers::kTalk);
  const GeneratedCharacter second(entries, EntryKind::kB, "に", 8, Answers::kTalk);
  std::printf("before loading: resident %.1f MiB, heap %.1f MiB\n", ResidentMiB(), HeapMiB());
  TCharacter a(first.BaseFile(), parlevo::TStateUse::kReadOnly);
  TCharacter b(second.BaseFile(), parlevo::TStateUse::kReadOnly);
  std::printf("loaded: resident %.1f MiB, heap %.1f MiB\n", ResidentMiB(), HeapMiB());

  // The generated inputs' words, without their number: each line gets a
  // number of its own, so that new patterns keep being found.
  std::vector<std::u16string> topics[2];
  const GeneratedCharacter* partners[2] = {&second, &first};
  for (int who = 0; who < 2; ++who) {
    for (const std::string& input : partners[who]->Inputs()) {
      std::u16string topic = parlevo::platform::Utf8ToWide(input);
      while (!topic.empty() && topic.back() >= u'0' && topic.back() <= u'9') topic.pop_back();
      topics[who].push_back(topic);
    }
  }
  TCharacter* speakers[] = {&a, &b};
  std::u16string said = topics[0][0];
  double first_resident = 0, first_heap = 0;
  std::printf("%8s %14s %10s %10s %10s %14s\n", "lines", "resident MiB", "x line 1", "heap MiB",
              "x line 1", "CPU us/line");
  double cpu_before = CpuMs();
  long lines_before = 0;
  for (long line = 1; line <= lines; ++line) {
    const size_t who = static_cast<size_t>(line - 1) % 2;
    TCharacter& speaker = *speakers[who];
    const std::u16string number =
        parlevo::platform::Utf8ToWide(std::to_string(line * 7919 % entries));
    const std::u16string heard =
        !new_topics ? said
                    : said + topics[who][static_cast<size_t>(line) % topics[who].size()] + number;
    said = speaker.ExpandTags(speaker.Talk(heard, parlevo::AllSlots));
    const bool report = line == 1 || line == lines || (line % 10000 == 0) || line == 1000;
    if (!report) continue;
    const double resident = ResidentMiB(), heap = HeapMiB();
    if (line == 1) first_resident = resident, first_heap = heap;
    const double cpu = CpuMs();
    std::printf("%8ld %14.1f %10.2f %10.1f %10.2f %14.1f\n", line, resident,
                resident / first_resident, heap, heap / first_heap,
                (cpu - cpu_before) * 1e3 / static_cast<double>(line - lines_before));
    cpu_before = cpu;
    lines_before = line;
    std::fflush(stdout);
  }
  return 0;
}
