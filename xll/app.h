// CXllApp: the add-in's application object, its hooks, and the functions it registers.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>

struct IDispatch;  // an automation object of the host: a workbook, sheet, range or window
class CXllCom;     // the automation bridge
class CXllFunction;

// One argument of an application event: a host object for the letters B (workbook), S (sheet)
// and R (range), a truth value for F.
struct EventArgument {
  IDispatch* object;
  int truth;

  static EventArgument Object(IDispatch* object) { return EventArgument{object, 0}; }
  static EventArgument Truth(int truth) { return EventArgument{nullptr, truth}; }
};

// What an application event passes to its macro, and whether the macro's answer counts.
struct ApplicationEvent {
  const char* letters;  // one letter per argument: B, S, R or F
  int wantsResult;
};

constexpr int kApplicationEventCount = 17;
constexpr int kEventMacroCount = 20;

// The application events by index, as the hooks of CXllApp raise them.
extern const ApplicationEvent kApplicationEvents[kApplicationEventCount];

// The application object: one per process (the add-in derives its own class and makes one
// static instance). It owns the map of functions it registers and the automation bridge, and
// its virtual hooks let the add-in act at each step of its life in the host.
class CXllApp {
 public:
  // Makes an empty application and makes it the one GetApp returns.
  CXllApp();
  CXllApp(const CXllApp&) = delete;
  CXllApp& operator=(const CXllApp&) = delete;

  // ---- Hooks, in the order of the virtual table ----
  virtual void OnAdd();          // run by xlAutoAdd
  virtual void OnRemove();       // run by xlAutoRemove before it unregisters
  virtual int CanAdd();          // returns 1; the framework does not ask it
  virtual int CanRemove();       // returns 1; the framework does not ask it
  virtual void OnBeforeOpen();   // run by xlAutoOpen once the bridge is dealt with
  virtual int CanOpen();         // returns 1; xlAutoOpen registers nothing when it returns 0
  virtual void OnClose();        // run by xlAutoClose

  // Application events, indexes 0 to 16. Each returns RunEventMacro for its index with its
  // arguments: 0 unless an event macro is set for the index and (where the event wants an
  // answer) it answered true.
  virtual int OnNewWorkbook(IDispatch* workbook);
  virtual int OnSheetSelectionChange(IDispatch* sheet, IDispatch* range);
  virtual int OnSheetBeforeDoubleClick(IDispatch* sheet, IDispatch* range);
  virtual int OnSheetBeforeRightClick(IDispatch* sheet, IDispatch* range);
  virtual int OnSheetActivate(IDispatch* sheet);
  virtual int OnSheetDeactivate(IDispatch* sheet);
  virtual int OnSheetCalculate(IDispatch* sheet);
  virtual int OnSheetChange(IDispatch* sheet, IDispatch* range);
  virtual int OnWorkbookOpen(IDispatch* workbook);
  virtual int OnWorkbookActivate(IDispatch* workbook);
  virtual int OnWorkbookDeactivate(IDispatch* workbook);
  virtual int OnWorkbookBeforeClose(IDispatch* workbook);
  virtual int OnWorkbookBeforeSave(IDispatch* workbook, int saveAsUi);
  virtual int OnWorkbookBeforePrint(IDispatch* workbook);
  virtual int OnWorkbookNewSheet(IDispatch* workbook, IDispatch* sheet);
  virtual int OnWorkbookAddinInstall(IDispatch* workbook);
  virtual int OnWorkbookAddinUninstall(IDispatch* workbook);

  // Window events; nothing by default, and the framework raises none of them.
  virtual void OnWindowActivate(IDispatch* workbook, IDispatch* window);
  virtual void OnWindowDeactivate(IDispatch* workbook, IDispatch* window);
  virtual void OnWindowResize(IDispatch* workbook, IDispatch* window);

  // Run when the library is loaded into the process: stores the module's file name in
  // modulePath (left as it was when the system cannot say) and sets title to "XLL <path>".
  // Returns 1.
  virtual int OnAttach();
  // Run when the library is unloaded: drops every function without calling the host (the host
  // is going away or gone) and stops the bridge. Returns 1.
  virtual int OnDetach();

  // Deletes every function still in the map and stops the bridge if OnDetach did not. After
  // this GetApp no longer returns this object.
  virtual ~CXllApp();

  // ---- Functions ----
  // Takes ownership of function and files it under its function text, deleting (without
  // unregistering) a function filed there before. Returns 1, or 0 for a null function.
  int AddFunction(CXllFunction* function);
  // The function filed under functionText (compared byte by byte), or nullptr.
  CXllFunction* FindFunction(const std::string& functionText) const;
  // Unregisters (when registered) and deletes the function filed under functionText; nothing
  // when there is none.
  void RemoveFunction(const std::string& functionText);
  // Makes one function per record of RegistrationList and adds it. Returns the number of
  // records.
  uint16_t LoadRegistrationRecords();
  // Chooses the interface RegisterAll registers through: version 12's when the host's version
  // is 12 or later and the host program exports its version 12 entry point (MdCallBack12), the
  // one of every version otherwise. Sets interface12.
  void ChooseInterface();
  // Registers every function not registered yet, in ascending order of function text, through
  // the interface chosen.
  void RegisterAll();
  // Unregisters every registered function, in ascending order of function text.
  void UnregisterAll();
  // Marks every function unregistered without calling the host: the host drops an add-in's
  // registrations itself after xlAutoClose, and is gone or going when the library unloads.
  void ForgetRegistrations();

  // ---- The automation bridge ----
  // Makes the bridge and initialises it. Returns non-zero when it runs; 0 with the reason in
  // message and an error code (0 when there is none) in code, and no bridge.
  int StartCom(std::string& message, long& code);
  // Terminates and deletes the bridge, if there is one.
  void StopCom();
  // Deletes the bridge, if there is one, without a COM call: its references to the host's
  // objects are abandoned. For the unloading at process exit.
  void AbandonCom();

  // ---- Event macros ----
  // The macro name set for event index (0 to 19); "" for any other index.
  std::string EventMacro(int index) const;
  // Runs the macro set for event index with the arguments the letters name (B workbook, S
  // sheet, R range, F truth value; other letters take none). Returns 0 without calling
  // anything when no macro is set; otherwise 0 when the macro cannot run or no answer is
  // wanted, else the macro's answer as 1 or 0.
  int RunEventMacro(int index, int wantsResult, const char* letters,
                    std::initializer_list<EventArgument> arguments);

  // ---- Data ----
  std::string title;          // what the add-in manager shows
  std::string modulePath;     // the library's file name
  std::string helpFile;       // the file part of every help topic
  int32_t reportComFailure = 0;  // a failed bridge start is shown and stops xlAutoOpen
  std::map<std::string, CXllFunction*> functions;  // owned, by function text
  CXllCom* com = nullptr;     // owned; null while there is no bridge
  std::string eventMacros[kEventMacroCount];
  int32_t opened = 0;         // set by xlAutoOpen, cleared by xlAutoClose and xlAutoRemove
  int32_t interface12 = 0;    // functions are registered through the version 12 interface

 private:
  // Raises application event index through RunEventMacro.
  int RaiseEvent(int index, std::initializer_list<EventArgument> arguments);
  // Runs macro through the bridge with the arguments the letters name: the part of
  // RunEventMacro that needs the host's automation objects.
  int ExecuteEventMacro(const std::string& macro, int wantsResult, const char* letters,
                        std::initializer_list<EventArgument> arguments);
};

// The application object constructed last and not yet destroyed, or nullptr.
CXllApp* GetApp();
