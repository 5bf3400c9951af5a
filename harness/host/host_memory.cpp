// The host's own allocations and their accounting.
#include "host_memory.h"

#include <cstring>

#include "xll/wide_text.h"

namespace {
constexpr uint16_t kOwnershipBits = xlbitXLFree | xlbitDLLFree;

// The payload's type, its ownership bits taken off.
template <class Oper>
unsigned Kind(const Oper& value) {
  return value.xltype & ~kOwnershipBits;
}

// The block a value points to, for the types that have one.
template <class Oper>
const void* Block(const Oper& value) {
  switch (Kind(value)) {
    case xltypeStr: return value.val.str;
    case xltypeMulti: return value.val.array.lparray;
    case xltypeRef: return value.val.mref.lpmref;
    default: return nullptr;
  }
}

// Whether value's type has a block, which only a release through the host may give back.
template <class Oper>
bool HasBlock(const Oper& value) {
  const unsigned type = Kind(value);
  return type == xltypeStr || type == xltypeMulti || type == xltypeRef;
}

// The scalar parts of value written into out (zeroed first); false for a text or a type this
// host does not hand out, which the caller writes itself.
template <class Oper>
bool WriteScalar(const HostValue& value, Oper* out) {
  std::memset(out, 0, sizeof *out);
  switch (value.type) {
    case xltypeNum: out->val.num = value.number; break;
    case xltypeBool: out->val.xbool = value.word ? 1 : 0; break;
    case xltypeErr: out->val.err = static_cast<uint16_t>(value.word); break;
    case xltypeInt: out->val.w = value.word; break;
    case xltypeMissing: break;
    default: return false;
  }
  out->xltype = value.type;
  return true;
}
}  // namespace

HostMemory::~HostMemory() {
  for (auto& block : live_) delete[] block.second;
}

void HostMemory::HandOut(char* block) {
  live_[block] = block;
  released_.erase(block);  // the allocator may hand back an address it had before
}

void HostMemory::Write(const HostValue& value, XLOPER* out) {
  if (WriteScalar(value, out)) return;
  if (value.type != xltypeStr) {
    out->xltype = xltypeErr;
    out->val.err = xlerrValue;
    return;
  }
  const std::size_t length = value.text.size() < 255 ? value.text.size() : 255;
  char* block = new char[length + 1];
  block[0] = static_cast<char>(length);
  std::memcpy(block + 1, value.text.data(), length);
  HandOut(block);
  out->val.str = block;
  out->xltype = xltypeStr;
}

void HostMemory::Write(const HostValue& value, XLOPER12* out) {
  if (WriteScalar(value, out)) return;
  if (value.type != xltypeStr) {
    out->xltype = xltypeErr;
    out->val.err = xlerrValue;
    return;
  }
  // A character takes at least as many bytes of UTF-8 as units of UTF-16.
  const std::size_t most = value.text.size() < 32767 ? value.text.size() : 32767;
  char* block = new char[(most + 1) * sizeof(XCHAR)];
  XCHAR* counted = reinterpret_cast<XCHAR*>(block);
  counted[0] = static_cast<XCHAR>(Utf8ToWide(value.text.c_str(), counted + 1, most));
  HandOut(block);
  out->val.str = counted;
  out->xltype = xltypeStr;
}

template <class Oper>
FreeOutcome HostMemory::ReleaseAny(const Oper& value) {
  if (!HasBlock(value)) return FreeOutcome::kNothingToFree;
  const void* block = Block(value);
  auto live = live_.find(block);
  if (live != live_.end()) {
    delete[] live->second;
    live_.erase(live);
    RememberRelease(block);
    return FreeOutcome::kReleased;
  }
  return released_.count(block) ? FreeOutcome::kDoubleFree : FreeOutcome::kForeign;
}

FreeOutcome HostMemory::Release(const XLOPER& value) { return ReleaseAny(value); }
FreeOutcome HostMemory::Release(const XLOPER12& value) { return ReleaseAny(value); }

template <class Oper>
std::string HostMemory::DescribeAny(const Oper& value) const {
  if (!HasBlock(value) || live_.count(Block(value))) return RenderValue(CopyValue(value));
  const unsigned type = Kind(value);
  const char* kind = type == xltypeStr ? "text" : type == xltypeMulti ? "array" : "reference";
  return std::string(released_.count(Block(value)) ? "<freed " : "<foreign ") + kind + ">";
}

std::string HostMemory::Describe(const XLOPER& value) const { return DescribeAny(value); }
std::string HostMemory::Describe(const XLOPER12& value) const { return DescribeAny(value); }

void HostMemory::RememberRelease(const void* block) {
  released_[block] = ++releases_;
  release_order_.emplace_back(block, releases_);
  if (release_order_.size() <= kRememberedReleases) return;
  const auto oldest = release_order_.front();
  release_order_.pop_front();
  // The block may have been handed out, or released again, since; then this entry is stale.
  const auto entry = released_.find(oldest.first);
  if (entry != released_.end() && entry->second == oldest.second) released_.erase(entry);
}
