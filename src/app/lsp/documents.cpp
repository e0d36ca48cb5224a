// Open documents, their file form, and file URIs.
#include "app/lsp/documents.h"

#include <cctype>

#include "app/lsp/positions.h"
#include "data/crypt.h"
#include "data/file_budget.h"
#include "data/personality_text.h"
#include "data/text_overlay.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo::lsp {
namespace {

// How the file at `path` spells its text; a file that cannot be read (a new
// one, not yet saved) is taken as code page text.
TFileForm FormOnDisk(const std::string& path) {
  if (path.empty() || !platform::FileExists(path)) return TFileForm::kCodePage;
  try {
    const std::string bytes = platform::ReadFileBytes(path, kMaxPersonalityFileBytes);
    const TPersonalityText text = DecodePersonalityText(bytes);
    if (!text.Lines.empty() && IsEncrypted(text.Lines)) return TFileForm::kEnciphered;
    if (text.Encoding == TTextEncoding::kUtf8Marked) return TFileForm::kUtf8Marked;
    if (text.Encoding == TTextEncoding::kUtf8Plain) return TFileForm::kUtf8Plain;
  } catch (const platform::EFileError&) {
  }
  return TFileForm::kCodePage;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

TDocument& TDocuments::Open(const std::string& uri, std::string text, int64_t version) {
  TDocument& document = documents_[uri];
  document.Uri = uri;
  const std::optional<std::string> path = UriToPath(uri);
  document.Path = path ? RealPath(*path) : std::string();
  document.Form = FormOnDisk(document.Path);
  document.Version = version;
  document.Lines = SplitDocumentLines(text);
  document.Text = std::move(text);
  return document;
}

bool TDocuments::Change(const std::string& uri, std::string text, int64_t version) {
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return false;
  found->second.Version = version;
  found->second.Lines = SplitDocumentLines(text);
  found->second.Text = std::move(text);
  return true;
}

void TDocuments::Saved(const std::string& uri) {
  const auto found = documents_.find(uri);
  if (found != documents_.end()) found->second.Form = FormOnDisk(found->second.Path);
}

void TDocuments::Close(const std::string& uri) { documents_.erase(uri); }

const TDocument* TDocuments::Find(std::string_view uri) const {
  const auto found = documents_.find(uri);
  return found == documents_.end() ? nullptr : &found->second;
}

std::map<std::string, std::string, std::less<>> TDocuments::FileTexts() const {
  std::map<std::string, std::string, std::less<>> files;
  for (const auto& [uri, document] : documents_) {
    if (document.Path.empty() || document.Form == TFileForm::kEnciphered) continue;
    if (document.Text.size() > kMaxPersonalityFileBytes) continue;
    switch (document.Form) {
      case TFileForm::kUtf8Marked:
        files[document.Path] = std::string(kUtf8Mark) + document.Text;
        break;
      case TFileForm::kUtf8Plain:
        files[document.Path] = document.Text;
        break;
      default:
        files[document.Path] = platform::Utf8ToAnsi(document.Text);
    }
  }
  return files;
}

std::optional<std::string> UriToPath(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.substr(0, kScheme.size()) != kScheme) return std::nullopt;
  std::string_view rest = uri.substr(kScheme.size());
  // "file://localhost/x" and "file:///x" name the same file; another host does not.
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view host = rest.substr(0, slash);
  if (!host.empty() && host != "localhost") return std::nullopt;
  rest.remove_prefix(slash);
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size()) {
      const int high = HexValue(rest[i + 1]);
      const int low = HexValue(rest[i + 2]);
      if (high >= 0 && low >= 0) {
        path += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    if (rest[i] == '?' || rest[i] == '#') break;
    path += rest[i];
  }
  if (path.find('\0') != std::string::npos) return std::nullopt;
  return path;
}

std::string PathToUri(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || std::string_view("/-._~").find(c) != std::string_view::npos) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 15];
    }
  }
  return uri;
}

}  // namespace parlevo::lsp
