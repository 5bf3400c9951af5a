// What the two cell value layouts (XLOPER and version 12's XLOPER12) share: which payloads a value
// owns, how they are copied deep and released, and moving a value's bytes without a copy.
#pragma once

#include <cstddef>
#include <cstring>

#include "xll/host_api.h"

// Byte-for-byte copies of a counted text of each layout (cell_value.h, cell_value12.h).
char* CopyCountedText(const char* counted);
XCHAR* CopyCountedWide(const XCHAR* counted);

namespace cell_value_rules {

// The copy of a counted text of either layout; null gives null. Release with delete[].
inline char* CopyCounted(const char* counted) { return CopyCountedText(counted); }
inline XCHAR* CopyCounted(const XCHAR* counted) { return CopyCountedWide(counted); }

constexpr unsigned kOwnershipBits = xlbitXLFree | xlbitDLLFree;

// What the payload is: the type word without the ownership bits. The large-data form
// (xltypeBigData) keeps its integer bit, so it never matches a plain xltypeStr.
template <class Oper>
unsigned Kind(const Oper& value) {
  return value.xltype & ~kOwnershipBits;
}

template <class Oper>
void Clear(Oper& value) {
  std::memset(&value, 0, sizeof value);
}

// Moves the bytes out of value and leaves it empty, so that nothing is released twice.
template <class Oper>
Oper Take(Oper& value) {
  Oper bytes;
  std::memcpy(&bytes, &value, sizeof bytes);
  Clear(value);
  return bytes;
}

template <class Oper>
void Put(Oper& target, const Oper& bytes) {
  std::memcpy(&target, &bytes, sizeof bytes);
}

template <class Oper>
std::size_t ElementCount(const Oper& array) {
  return static_cast<std::size_t>(array.val.array.rows) *
         static_cast<std::size_t>(array.val.array.columns);
}

// A copy of a reference list (its count, then that many areas); null for none or an empty one.
template <class ReferenceList>
ReferenceList* CopyReferenceList(const ReferenceList* list) {
  if (!list || list->count == 0) return nullptr;
  const std::size_t size = offsetof(ReferenceList, reftbl) + sizeof list->reftbl[0] * list->count;
  unsigned char* copy = new unsigned char[size];
  std::memcpy(copy, list, size);
  return reinterpret_cast<ReferenceList*>(copy);
}

// Fills target, which is empty, with an add-in-owned deep copy of source: the host's ownership
// bit cleared, every other bit kept. Value is the owning class of the layout.
template <class Value, class Oper>
void DeepCopy(const Oper& source, Value& target) {
  const auto type = source.xltype & ~xlbitXLFree;
  switch (Kind(source)) {
    case xltypeMulti: {
      if (!source.val.array.lparray) return;
      target.MakeArray(source.val.array.rows, source.val.array.columns);
      if (target.xltype == 0) return;  // a zero count copies as the empty value
      Value* elements = static_cast<Value*>(target.val.array.lparray);
      for (std::size_t i = 0; i < ElementCount(source); ++i) {
        elements[i].CopyFrom(source.val.array.lparray[i]);
      }
      break;
    }
    case xltypeStr:
      target.val.str = CopyCounted(source.val.str);
      break;
    case xltypeRef:
      target.val.mref.idSheet = source.val.mref.idSheet;
      target.val.mref.lpmref = CopyReferenceList(source.val.mref.lpmref);
      break;
    default:
      std::memcpy(&target.val, &source.val, sizeof target.val);
      break;
  }
  target.xltype = type;
}

// Releases the payload that value (of the owning class Value) owns itself, that is without the
// host's ownership bit: an array's elements and block, a text's block, a reference list. The large
// data form and payloads without a block release nothing. The value's bytes are left as they were.
template <class Value>
void ReleaseOwnPayload(Value& value) {
  switch (Kind(value)) {
    case xltypeMulti:
      if (Value* elements = static_cast<Value*>(value.val.array.lparray)) {
        for (std::size_t i = 0; i < ElementCount(value); ++i) elements[i].Free();
        delete[] elements;
      }
      break;
    case xltypeStr:
      delete[] value.val.str;
      break;
    case xltypeRef:
      delete[] reinterpret_cast<unsigned char*>(value.val.mref.lpmref);
      break;
    default:
      break;
  }
}

// Replaces target with a deep copy of source, built apart first: source may be target itself or
// lie inside it. On a throw target is left empty.
template <class Value, class Oper>
void CopyInto(Value& target, const Oper& source) {
  Value copy;
  try {
    DeepCopy(source, copy);
  } catch (...) {
    target.Free();
    throw;
  }
  target.Free();
  Put<Oper>(target, Take<Oper>(copy));
}

}  // namespace cell_value_rules
