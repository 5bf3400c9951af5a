// Fuzz target for CXllValue's ownership rules: values of every kind, nested arrays among them,
// made by the add-in or handed over by a host, are copied, assigned, moved, handed back and
// freed in the order the input gives. The sanitizers catch a leak, a double free or a use after
// free; the checks below catch a copy that differs from its source or host memory released
// other than once through xlFree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "fuzz/fuzz_input.h"
#include "platform/host_entry.h"
#include "xll/cell_value.h"

namespace {

constexpr uint16_t kOwnershipBits = xlbitXLFree | xlbitDLLFree;
constexpr int kMaxDepth = 3;
constexpr int kMaxSide = 4;           // rows and columns of a made array
constexpr std::size_t kMaxNodes = 256;  // a value grows no larger than this
constexpr std::size_t kPoolSize = 4;

// A counted text that only a host may own: the large-data form points at it and nobody frees it.
char g_large_text[] = "\x05large";

// Host-owned values handed over and not yet given back through xlFree.
long g_host_values_out = 0;

uint16_t Kind(const XLOPER& value) { return value.xltype & ~kOwnershipBits; }

std::size_t ElementCount(const XLOPER& array) {
  return std::size_t{array.val.array.rows} * array.val.array.columns;
}

// ---- Values as a host makes them: its own memory (malloc), released only by the host ----

void FreeHostValue(XLOPER& value) {
  switch (Kind(value)) {
    case xltypeStr:
      std::free(value.val.str);
      break;
    case xltypeRef:
      std::free(value.val.mref.lpmref);
      break;
    case xltypeMulti:
      for (std::size_t i = 0; i < ElementCount(value); ++i) {
        FreeHostValue(value.val.array.lparray[i]);
      }
      std::free(value.val.array.lparray);
      break;
    default:
      break;
  }
  std::memset(&value, 0, sizeof value);
}

XLOPER MakeHostValue(FuzzInput& input, int depth) {
  XLOPER value;
  std::memset(&value, 0, sizeof value);
  switch (input.Byte() % 9) {
    case 0:
      value.xltype = xltypeNum;
      value.val.num = input.Double(0.0);
      break;
    case 1: {
      const uint8_t length = input.Byte();
      value.xltype = xltypeStr;
      value.val.str = static_cast<char*>(std::malloc(length + 1u));
      value.val.str[0] = static_cast<char>(length);
      for (int i = 1; i <= length; ++i) value.val.str[i] = static_cast<char>(input.Byte());
      break;
    }
    case 2:
      value.xltype = xltypeBool;
      value.val.xbool = input.Byte();
      break;
    case 3: {
      const uint8_t high = input.Byte();
      value.xltype = xltypeInt;
      value.val.w = static_cast<int16_t>(high << 8 | input.Byte());
      break;
    }
    case 4:
      value.xltype = xltypeErr;
      value.val.err = input.Byte();
      break;
    case 5:
      value.xltype = xltypeMissing;
      break;
    case 6: {
      const uint16_t count = input.Byte() % 5;
      value.xltype = xltypeRef;
      value.val.mref.idSheet = input.Byte();
      value.val.mref.lpmref = static_cast<XLMREF*>(
          std::malloc(offsetof(XLMREF, reftbl) + sizeof(XLREF) * (count ? count : 1)));
      value.val.mref.lpmref->count = count;
      for (uint16_t i = 0; i < count; ++i) {
        XLREF& area = value.val.mref.lpmref->reftbl[i];
        area.rwFirst = input.Byte();
        area.rwLast = input.Byte();
        area.colFirst = input.Byte();
        area.colLast = input.Byte();
      }
      break;
    }
    case 7: {
      if (depth >= kMaxDepth) break;  // the empty value
      const uint16_t rows = 1 + input.Byte() % kMaxSide;
      const uint16_t columns = 1 + input.Byte() % kMaxSide;
      value.xltype = xltypeMulti;
      value.val.array.rows = rows;
      value.val.array.columns = columns;
      value.val.array.lparray = static_cast<XLOPER*>(std::malloc(sizeof(XLOPER) * rows * columns));
      for (int i = 0; i < rows * columns; ++i) {
        value.val.array.lparray[i] = MakeHostValue(input, depth + 1);
      }
      break;
    }
    default:
      value.xltype = xltypeBigData;
      value.val.str = g_large_text;
      break;
  }
  return value;
}

// The host's side of the C API: only xlFree is asked of it here.
int FakeHost(int xlfn, XLOPER*, int count, XLOPER* args[]) {
  FUZZ_CHECK(xlfn == xlFree && count == 1);
  FUZZ_CHECK((args[0]->xltype & xlbitXLFree) == 0);  // the bit is cleared before the host sees it
  FreeHostValue(*args[0]);
  --g_host_values_out;
  return xlretSuccess;
}

// ---- Comparing what a value holds, whoever owns it ----

std::size_t NodeCount(const XLOPER& value) {
  std::size_t count = 1;
  if (Kind(value) == xltypeMulti && value.val.array.lparray) {
    for (std::size_t i = 0; i < ElementCount(value); ++i) {
      count += NodeCount(value.val.array.lparray[i]);
    }
  }
  return count;
}

uint16_t AreaCount(const XLMREF* list) { return list ? list->count : 0; }

bool SameContent(const XLOPER& a, const XLOPER& b) {
  if (Kind(a) != Kind(b)) return false;
  switch (Kind(a)) {
    case xltypeNum:
      return std::memcmp(&a.val.num, &b.val.num, sizeof a.val.num) == 0;
    case xltypeStr:
      return std::memcmp(a.val.str, b.val.str, static_cast<unsigned char>(a.val.str[0]) + 1u) == 0;
    case xltypeBool:
      return a.val.xbool == b.val.xbool;
    case xltypeInt:
      return a.val.w == b.val.w;
    case xltypeErr:
      return a.val.err == b.val.err;
    case xltypeRef:
      return a.val.mref.idSheet == b.val.mref.idSheet &&
             AreaCount(a.val.mref.lpmref) == AreaCount(b.val.mref.lpmref) &&
             (AreaCount(a.val.mref.lpmref) == 0 ||
              std::memcmp(a.val.mref.lpmref->reftbl, b.val.mref.lpmref->reftbl,
                          sizeof(XLREF) * a.val.mref.lpmref->count) == 0);
    case xltypeMulti:
      if (a.val.array.rows != b.val.array.rows || a.val.array.columns != b.val.array.columns) {
        return false;
      }
      for (std::size_t i = 0; i < ElementCount(a); ++i) {
        if (!SameContent(a.val.array.lparray[i], b.val.array.lparray[i])) return false;
      }
      return true;
    case xltypeBigData:
      return a.val.str == b.val.str;
    default:
      return true;
  }
}

// ---- The operations, on a small pool of the add-in's values ----

// A copy of value owns no host memory, even when value does.
void CheckOwnCopy(const CXllValue& copy, const XLOPER& source) {
  FUZZ_CHECK((copy.xltype & xlbitXLFree) == 0);
  FUZZ_CHECK(SameContent(copy, source));
}

// Hands a host-made value over as CallHost does: marked as the host's, copied, given back.
void CopyFromHost(CXllValue& target, FuzzInput& input) {
  CXllValue from_host;
  static_cast<XLOPER&>(from_host) = MakeHostValue(input, 0);
  from_host.xltype |= xlbitXLFree;
  ++g_host_values_out;
  target.CopyFrom(from_host);
  CheckOwnCopy(target, from_host);
  const long out_before = g_host_values_out;
  from_host.Free();
  FUZZ_CHECK(g_host_values_out == out_before - 1);
  FUZZ_CHECK(from_host.xltype == 0);
}

// Leaves a host-owned value in target itself, for whatever comes next to release.
void KeepHostValue(CXllValue& target, FuzzInput& input) {
  target.Free();
  static_cast<XLOPER&>(target) = MakeHostValue(input, 0);
  target.xltype |= xlbitXLFree;
  ++g_host_values_out;
}

void FillArray(CXllValue& target, FuzzInput& input) {
  const uint16_t rows = input.Byte() % (kMaxSide + 1);
  const uint16_t columns = input.Byte() % (kMaxSide + 1);
  target.MakeArray(rows, columns);
  if (rows == 0 || columns == 0) {
    FUZZ_CHECK(target.xltype == 0);
    return;
  }
  for (uint16_t r = 0; r < rows; ++r) {
    for (uint16_t c = 0; c < columns; ++c) {
      if (input.Byte() & 1) {
        target.At(r, c)->SetNumber(input.Double(0.0));
      } else {
        target.At(r, c)->SetText(input.Text());
      }
    }
  }
}

// An element of value picked by the input, or value itself when it is no array.
CXllValue* PickElement(CXllValue& value, FuzzInput& input) {
  if (Kind(value) != xltypeMulti) return &value;
  const uint16_t row = input.Byte() % value.val.array.rows;
  const uint16_t column = input.Byte() % value.val.array.columns;
  return value.At(row, column);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const platform::HostHandler installed = platform::InstallHost(FakeHost);
  (void)installed;
  FuzzInput input(data, size);
  XLOPER* returned = nullptr;
  {
    CXllValue pool[kPoolSize];
    while (!input.empty()) {
      CXllValue& target = pool[input.Byte() % kPoolSize];
      CXllValue& source = pool[input.Byte() % kPoolSize];
      switch (input.Byte() % 12) {
        case 0:
          CopyFromHost(target, input);
          break;
        case 1:
          KeepHostValue(target, input);
          break;
        case 2: {  // copy assignment, also onto itself
          const CXllValue before(source);
          target = source;
          CheckOwnCopy(target, before);
          FUZZ_CHECK(SameContent(source, before));
          break;
        }
        case 3: {
          const CXllValue before(source);
          target = std::move(source);  // a host-owned value stays the host's
          FUZZ_CHECK(SameContent(target, before));
          break;
        }
        case 4: {  // a value copied from a part of itself, or into a part of itself
          CXllValue* element = PickElement(target, input);
          if (NodeCount(target) + NodeCount(source) > kMaxNodes) break;
          // The add-in reads what the host owns but never writes into it.
          const bool host_owned = (target.xltype & xlbitXLFree) != 0;
          if (host_owned || (input.Byte() & 1)) {
            const CXllValue before(*element);
            target.CopyFrom(*element);
            CheckOwnCopy(target, before);
          } else {
            const CXllValue before(source);
            element->CopyFrom(source);
            CheckOwnCopy(*element, before);
          }
          break;
        }
        case 5: {
          const std::string text = input.Text();
          target.SetText(text);
          FUZZ_CHECK(target.xltype == xltypeStr);
          const std::size_t kept = text.size() < 255 ? text.size() : 255;
          FUZZ_CHECK(static_cast<unsigned char>(target.val.str[0]) == kept);
          FUZZ_CHECK(std::memcmp(target.val.str + 1, text.data(), kept) == 0);
          break;
        }
        case 6:
          switch (input.Byte() % 3) {
            case 0:
              target.SetNumber(input.Double(0.0));
              break;
            case 1:
              target.SetInt(static_cast<int16_t>(input.Byte()));
              break;
            default:
              target.SetError(input.Byte());
              break;
          }
          break;
        case 7:
          FillArray(target, input);
          break;
        case 8: {  // handed back; freed by the host now or by the next hand-back
          const CXllValue before(target);
          XLOPER* slot = target.ReturnToHost();
          FUZZ_CHECK(returned == nullptr || slot == returned);
          returned = slot;
          FUZZ_CHECK(target.xltype == 0);
          FUZZ_CHECK((slot->xltype & xlbitDLLFree) != 0);
          FUZZ_CHECK(SameContent(*slot, before));
          if (input.Byte() & 1) {
            xlAutoFree(slot);
            FUZZ_CHECK(slot->xltype == 0);
          }
          break;
        }
        case 9: {
          const std::string text = target.ToText();
          const double number = target.ToNumber();
          const int truth = target.ToBool();
          (void)text;
          (void)number;
          (void)truth;
          break;
        }
        case 10: {
          const CXllValue copy(source);
          CheckOwnCopy(copy, source);
          break;
        }
        default:
          target.Free();
          FUZZ_CHECK(target.xltype == 0);
          break;
      }
    }
  }
  // Whatever is still handed back goes, as the host would release it; then no host value may be
  // left unreleased.
  if (returned) xlAutoFree(returned);
  FUZZ_CHECK(g_host_values_out == 0);
  return 0;
}
