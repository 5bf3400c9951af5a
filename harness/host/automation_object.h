// DispatchObject: an automation object of the simulated host, answering late-bound calls by
// member name, recording every call and failing on demand.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/system.h"

// A value an automation member can answer with, as tests set it.
struct SimValue {
  enum Kind { kEmpty, kBool, kNumber, kText, kError };
  Kind kind = kEmpty;
  double number = 0;  // kBool (nonzero true), kNumber, kError (the SCODE)
  std::string text;   // kText

  static SimValue Bool(bool truth) { return SimValue{kBool, truth ? 1.0 : 0.0, ""}; }
  static SimValue Number(double number) { return SimValue{kNumber, number, ""}; }
  static SimValue Text(const std::string& text) { return SimValue{kText, 0, text}; }
  static SimValue Error(SCODE code) { return SimValue{kError, static_cast<double>(code), ""}; }

  // The value as a VARIANT the receiver owns; false when its text cannot be made.
  bool ToVariant(VARIANT* out) const;
};

// An argument or a value as the trace shows it: TRUE, FALSE, 12, "text", <omitted>, <object>.
std::string VariantText(const VARIANT& value);

// One call a member received.
struct MemberCall {
  std::string member;
  WORD flags = 0;
  std::vector<std::string> arguments;  // in parameter order, first parameter first
};

// The IDispatch of every simulated object: member names resolve without regard to case, each
// name to one member number in the whole process (as the real host's are the same on every
// object); Invoke hands the member its arguments in parameter order.
// Objects of one model share one reference count, their root's: a model lives until the last
// reference to any of its objects is released.
class DispatchObject : public IDispatch {
 public:
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  // ---- Controls for tests and the host program ----
  // From now on reading member answers value instead of what the model holds.
  void SetAnswer(const std::string& member, const SimValue& value);
  // From now on every call of member whose flags share a bit with flags (by default any call)
  // fails with code; its name still resolves.
  void SetFailure(const std::string& member, HRESULT code,
                  WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT |
                               DISPATCH_PROPERTYPUTREF);
  // From now on member does not resolve: the object has no such member.
  void RemoveMember(const std::string& member);

  // ---- Inspection ----
  const std::vector<MemberCall>& Calls() const { return calls_; }
  // The calls member received, in order.
  std::vector<MemberCall> CallsOf(const std::string& member) const;
  // How many times GetIDsOfNames was asked for member.
  int Resolutions(const std::string& member) const;
  // Forgets the calls received so far, so that a host running for long keeps no growing record.
  void ForgetCalls() { calls_.clear(); }

 protected:
  // root: the object whose reference count this one shares, or nullptr for a root.
  DispatchObject(DispatchObject* root, std::vector<std::string> members);
  virtual ~DispatchObject();

  // Runs member index (its position in the member list) with the arguments in parameter order;
  // a property write gets its new value as value (else null). result may be null.
  virtual HRESULT Member(std::size_t index, WORD flags, const std::vector<VARIANT>& arguments,
                         const VARIANT* value, VARIANT* result) = 0;

  // result becomes a new reference to object (nothing when result is null). Returns S_OK.
  static HRESULT ReturnObject(IDispatch* object, VARIANT* result);
  // result becomes value (nothing when result is null). Returns S_OK, or E_OUTOFMEMORY.
  static HRESULT ReturnValue(const SimValue& value, VARIANT* result);

 private:
  DispatchObject* root_;
  ULONG references_ = 1;
  struct Failure {
    HRESULT code;
    WORD flags;
  };

  std::vector<std::string> members_;
  std::vector<DISPID> ids_;  // the member number of each member
  std::vector<bool> removed_;
  std::map<std::string, SimValue> answers_;
  std::map<std::string, Failure> failures_;
  std::map<std::string, int> resolutions_;
  std::vector<MemberCall> calls_;
};
