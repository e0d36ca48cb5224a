// The clock: reads the system's local time and UTC time of day, or a frozen
// instant set by tests and the CLI's --clock.

#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/datetime.h"

namespace parlevo::platform {

namespace {

// The frozen instant, shared by every thread: NaN while the clock runs.
// Atomic because the CLI or a test may freeze it while a conversation reads.
std::atomic<double> g_frozen{std::nan("")};

}  // namespace

double NowLocal() {
  double frozen = g_frozen.load(std::memory_order_acquire);
  if (!std::isnan(frozen)) return frozen;
  auto now = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  std::time_t secs = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  localtime_r(&secs, &local);
  DateTimeParts parts;
  parts.year = local.tm_year + 1900;
  parts.month = local.tm_mon + 1;
  parts.day = local.tm_mday;
  parts.hour = local.tm_hour;
  parts.minute = local.tm_min;
  parts.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second
  parts.millisecond = static_cast<int>(ms % 1000);
  return EncodeDateTime(parts);
}

uint32_t UtcMillisecondsOfDay() {
  double frozen = g_frozen.load(std::memory_order_acquire);
  if (!std::isnan(frozen)) {
    DateTimeParts p = DecodeDateTime(frozen);
    return static_cast<uint32_t>(((p.hour * 60 + p.minute) * 60 + p.second) * 1000 + p.millisecond);
  }
  auto now = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  auto of_day = ms % 86400000;
  if (of_day < 0) of_day += 86400000;
  return static_cast<uint32_t>(of_day);
}

uint32_t TickCount() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));  // wraps like the system tick
}

void FreezeClock(double local_date_time) {
  g_frozen.store(local_date_time, std::memory_order_release);
}

void UnfreezeClock() { g_frozen.store(std::nan(""), std::memory_order_release); }

bool ClockFrozen() { return !std::isnan(g_frozen.load(std::memory_order_acquire)); }

}  // namespace parlevo::platform
