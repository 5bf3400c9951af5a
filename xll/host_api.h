// The spreadsheet host's C API as this add-in uses it: the cell value layouts of both interfaces
// (the one of every version, and version 12's wide one) and every constant.
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
constexpr int xlretUncalced = 64;
constexpr int xlretNotThreadSafe = 128;  // a thread-safe function called what it may not

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

// ---- The version 12 interface ----
// Hosts from version 12 on also take values as XLOPER12, with wide texts, 32-bit integers and the
// larger grid. The type and ownership bits are those above, in a 32-bit type word.

// A wide character: one UTF-16 code unit.
typedef char16_t XCHAR;

// The most UTF-16 units a wide text holds; its counted form has them behind a length unit.
constexpr int xlMaxWideTextLength = 32767;

// The marks a version 12 type text may end with: thread-safe, and the calling rights of a macro
// sheet function (which a thread-safe function cannot have).
constexpr char xlThreadSafeMark = '$';
constexpr char xlMacroSheetMark = '#';

// One rectangular area of a version 12 reference: rows and columns as 32-bit numbers. 16 bytes.
struct XLREF12 {
  int32_t rwFirst;
  int32_t rwLast;
  int32_t colFirst;
  int32_t colLast;
};

// A version 12 reference list: a count followed by that many areas.
struct XLMREF12 {
  uint16_t count;
  XLREF12 reftbl[1];
};

// The host's version 12 cell value: a 24-byte payload and the 32-bit type word, 32 bytes on 32-
// and 64-bit targets alike. A text payload points to a counted wide text: one length unit, then
// that many UTF-16 units, no NUL.
struct XLOPER12 {
  union {
    double num;
    XCHAR* str;
    int32_t xbool;
    int32_t err;
    int32_t w;
    struct {
      uint16_t count;
      XLREF12 ref;
    } sref;  // a single area on the calling sheet: it sets the payload's size
    struct {
      XLMREF12* lpmref;
      uintptr_t idSheet;
    } mref;
    struct {
      XLOPER12* lparray;
      int32_t rows;
      int32_t columns;
    } array;
  } val;
  uint32_t xltype;
};

static_assert(sizeof(XLREF12) == 16, "a version 12 reference area is 16 bytes");
static_assert(offsetof(XLMREF12, reftbl) == 4, "version 12 areas follow the count, aligned");
static_assert(sizeof(XLOPER12) == 32 && offsetof(XLOPER12, xltype) == 24,
              "a version 12 cell value is 32 bytes with the type word at offset 24");
static_assert(offsetof(XLOPER12, val.sref.ref) == 4, "a single area follows its 16-bit count");
static_assert(offsetof(XLOPER12, val.mref.idSheet) == sizeof(void*) &&
                  sizeof(XLOPER12::val.mref.idSheet) == sizeof(void*),
              "a version 12 reference's sheet id is pointer-sized and follows its area list");
static_assert(offsetof(XLOPER12, val.array.rows) == sizeof(void*) &&
                  offsetof(XLOPER12, val.array.columns) == sizeof(void*) + 4,
              "a version 12 array's 32-bit row and column counts follow its element pointer");
static_assert(sizeof(XCHAR) == 2, "a wide character is one UTF-16 unit");
