// The host's own allocations and their accounting.
#include "host_memory.h"

#include <cstring>

namespace {
constexpr uint16_t kOwnershipBits = xlbitXLFree | xlbitDLLFree;
}  // namespace

HostMemory::~HostMemory() {
  for (auto& block : live_) delete[] block.second;
}

void HostMemory::Write(const HostValue& value, XLOPER* out) {
  std::memset(out, 0, sizeof *out);
  switch (value.type) {
    case xltypeNum: out->val.num = value.number; break;
    case xltypeBool: out->val.xbool = value.word ? 1 : 0; break;
    case xltypeErr: out->val.err = static_cast<uint16_t>(value.word); break;
    case xltypeInt: out->val.w = value.word; break;
    case xltypeMissing: break;
    case xltypeStr: {
      const std::size_t length = value.text.size() < 255 ? value.text.size() : 255;
      char* block = new char[length + 1];
      block[0] = static_cast<char>(length);
      std::memcpy(block + 1, value.text.data(), length);
      live_[block] = block;
      released_.erase(block);  // the allocator may hand back an address it had before
      out->val.str = block;
      break;
    }
    default:
      out->xltype = xltypeErr;
      out->val.err = xlerrValue;
      return;
  }
  out->xltype = value.type;
}

const void* HostMemory::Block(const XLOPER& value) const {
  switch (value.xltype & ~kOwnershipBits) {
    case xltypeStr: return value.val.str;
    case xltypeMulti: return value.val.array.lparray;
    case xltypeRef: return value.val.mref.lpmref;
    default: return nullptr;
  }
}

FreeOutcome HostMemory::Release(const XLOPER& value) {
  const uint16_t type = value.xltype & ~kOwnershipBits;
  if (type != xltypeStr && type != xltypeMulti && type != xltypeRef) {
    return FreeOutcome::kNothingToFree;
  }
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

std::string HostMemory::Describe(const XLOPER& value) const {
  const uint16_t type = value.xltype & ~kOwnershipBits;
  if (type != xltypeStr && type != xltypeMulti && type != xltypeRef) {
    return RenderValue(CopyValue(value));
  }
  const void* block = Block(value);
  if (live_.count(block)) return RenderValue(CopyValue(value));
  const char* kind = type == xltypeStr ? "text" : type == xltypeMulti ? "array" : "reference";
  return std::string(released_.count(block) ? "<freed " : "<foreign ") + kind + ">";
}

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
