// The per-thread overlay of unsaved texts, and the real path that keys it.
#include "data/text_overlay.h"

#include <filesystem>
#include <system_error>

namespace parlevo {
namespace {

// One per thread: no other thread sees a language server's unsaved texts.
thread_local const TTextOverlay* installed = nullptr;

}  // namespace

TTextOverlay::TTextOverlay(std::map<std::string, std::string, std::less<>> files)
    : files_(std::move(files)), outer_(installed) {
  installed = this;
}

TTextOverlay::~TTextOverlay() { installed = outer_; }

const std::string* TTextOverlay::Find(std::string_view native_path) {
  if (installed == nullptr || installed->files_.empty()) return nullptr;
  const auto found = installed->files_.find(RealPath(native_path));
  return found == installed->files_.end() ? nullptr : &found->second;
}

std::string RealPath(std::string_view native_path) {
  std::error_code error;
  const std::filesystem::path path(native_path);
  std::filesystem::path real = std::filesystem::weakly_canonical(path, error);
  if (error) real = path.lexically_normal();
  return real.string();
}

}  // namespace parlevo
