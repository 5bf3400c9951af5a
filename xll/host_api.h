// The spreadsheet host's C API as this add-in uses it: the cell value layout and every constant.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Cell value types (the low bits of the type word) ----
constexpr uint16_t xltypeNum = 0x0001;
constexpr uint16_t xltypeStr = 0x0002;
constexpr uint16_t xltypeBool = 0x0004;
constexpr uint16_t xltypeRef = 0x0008;
constexpr uint16_t xltypeErr = 0x0010;
constexpr uint16_t xltypeMulti = 0x0040;
constexpr uint16_t xltypeMissing = 0x0080;
constexpr uint16_t xltypeInt = 0x0800;

// ---- Ownership bits of the type word ----
constexpr uint16_t xlbitXLFree = 0x1000;   // the host allocated the payload; release via xlFree
constexpr uint16_t xlbitDLLFree = 0x4000;  // the add-in allocated it; the host calls xlAutoFree

// The host's large-data form: a text type word that also carries the integer type's bit. Its
// payload is never ours to free.
constexpr uint16_t xltypeBigData = xltypeStr | xltypeInt;

// ---- Error codes (payload of xltypeErr) ----
constexpr uint16_t xlerrNull = 0;
constexpr uint16_t xlerrDiv0 = 7;
constexpr uint16_t xlerrValue = 15;
constexpr uint16_t xlerrRef = 23;
constexpr uint16_t xlerrName = 29;
constexpr uint16_t xlerrNum = 36;
constexpr uint16_t xlerrNA = 42;

// ---- Return codes of Excel4 / Excel4v ----
constexpr int xlretSuccess = 0;
constexpr int xlretAbort = 1;
constexpr int xlretInvXlfn = 2;
constexpr int xlretInvCount = 4;
constexpr int xlretInvXloper = 8;
constexpr int xlretFailed = 32;

// ---- Function numbers ----
constexpr int xlCommandBit = 0x8000;
constexpr int xlSpecialBit = 0x4000;

constexpr int xlFree = 0 | xlSpecialBit;     // 16384
constexpr int xlCoerce = 2 | xlSpecialBit;   // 16386
constexpr int xlGetName = 9 | xlSpecialBit;  // 16393

constexpr int xlfSetName = 88;
constexpr int xlfRegister = 149;
constexpr int xlfGetWorkspace = 186;
constexpr int xlfUnregister = 201;

constexpr int xlcClose = 16 | xlCommandBit;   // 32784
constexpr int xlcAlert = 118 | xlCommandBit;  // 32886
constexpr int xlcNew = 119 | xlCommandBit;    // 32887
constexpr int xlcEcho = 141 | xlCommandBit;   // 32909

// ---- Layout of a cell value ----

// One rectangular area of a reference: rows as 16-bit, columns as 8-bit numbers. 6 bytes.
struct XLREF {
  uint16_t rwFirst;
  uint16_t rwLast;
  uint8_t colFirst;
  uint8_t colLast;
};

// A reference list: a count followed by that many areas (2 + 6 x count bytes).
struct XLMREF {
  uint16_t count;
  XLREF reftbl[1];
};

// The host's cell value: an 8-byte payload (16 on 64-bit targets) and the 16-bit type word.
// A text payload points to a counted text: one length byte, then that many characters, no NUL.
struct XLOPER {
  union {
    double num;
    char* str;
    uint16_t xbool;
    uint16_t err;
    int16_t w;
    struct {
      XLMREF* lpmref;
      uintptr_t idSheet;  // pointer-sized: 64-bit hosts give sheets 64-bit ids
    } mref;
    struct {
      XLOPER* lparray;
      uint16_t rows;
      uint16_t columns;
    } array;
  } val;
  uint16_t xltype;
};

static_assert(sizeof(XLREF) == 6, "a reference area is 6 bytes");
static_assert(offsetof(XLMREF, reftbl) == 2, "reference areas follow the 16-bit count");
static_assert(sizeof(void*) != 4 || (sizeof(XLOPER) == 16 && offsetof(XLOPER, xltype) == 8),
              "on 32-bit targets a cell value is 16 bytes with the type word at offset 8");
static_assert(sizeof(void*) != 8 || (sizeof(XLOPER) == 24 && offsetof(XLOPER, xltype) == 16),
              "on 64-bit targets a cell value is 24 bytes with the type word at offset 16");
static_assert(offsetof(XLOPER, val.mref.idSheet) == sizeof(void*) &&
                  sizeof(XLOPER::val.mref.idSheet) == sizeof(void*),
              "a reference's sheet id is pointer-sized and follows its area list");
static_assert(offsetof(XLOPER, val.array.rows) == sizeof(void*) &&
                  offsetof(XLOPER, val.array.columns) == sizeof(void*) + 2,
              "an array's row and column counts follow its element pointer");
