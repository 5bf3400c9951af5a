// An add-in's life in the host: open, title, remove, close and unload.
#include "harness/host/addin_session.h"

#include <gtest/gtest.h>

#include "harness/host/evaluator.h"
#include "tests/host/fake_addin.h"

namespace {
using fake_addin::OpenedFake;
using fake_addin::state;

TEST(AddinSession, OpenRegistersEveryFunctionAndAsksForTheTitle) {
  OpenedFake fake;
  EXPECT_EQ(fake.opened, 1);
  EXPECT_EQ(state().open_calls, 1);
  EXPECT_EQ(fake.session.Title(), "Fake Add-in");
  ASSERT_EQ(fake.host.Functions().size(), 14u);
  for (const RegisteredFunction& function : fake.host.Functions()) {
    EXPECT_EQ(function.module, fake_addin::kPath);
    EXPECT_NE(function.address, nullptr) << function.function_text;
  }
  // 10 + 3 arguments with three argument helps; 8 without an argument text.
  EXPECT_EQ(fake.host.FindFunction("FakeEcho")->arguments.size(), 13u);
  EXPECT_EQ(fake.host.FindFunction("FakeArray")->arguments.size(), 8u);
  const RegisteredFunction* command = fake.host.FindFunction("FakeCommand");
  EXPECT_EQ(command->macro_type, 2);
  EXPECT_EQ(command->arguments[6].type, xltypeInt);
  // The title came back marked for release; the module name the add-in asked for was freed.
  EXPECT_TRUE(state().outstanding.empty());
  EXPECT_EQ(fake.host.OutstandingAllocations(), 0u);
  EXPECT_EQ(fake.host.FreeFaults(), 0u);
}

TEST(AddinSession, RemoveUnregistersAndLeavesOnlyHiddenEntries) {
  OpenedFake fake;
  EXPECT_EQ(fake.session.Remove(), 1);
  EXPECT_EQ(fake.host.CallsOf(xlfUnregister).size(), 14u);
  EXPECT_EQ(fake.host.CallsOf(xlfSetName).size(), 14u);
  ASSERT_EQ(fake.host.Functions().size(), 14u);
  for (const RegisteredFunction& function : fake.host.Functions()) {
    EXPECT_EQ(function.procedure, "xlAutoRemove");
    EXPECT_EQ(function.macro_type, 0);
  }
  EXPECT_EQ(RenderEvaluation(EvaluateFormula(fake.host, "=FakeEcho(1,\"a\",\"b\")")), "#VALUE!");
  EXPECT_EQ(state().function_calls, 0);
  EXPECT_EQ(fake.host.OutstandingAllocations(), 0u);
}

TEST(AddinSession, RunsTheHooksAroundLoadingAndCutsOffAnUnloadedLibrary) {
  fake_addin::Reset();
  SimHost host;
  AddinSession session(host);
  int attached = 0;
  int detached = 0;
  session.SetAttachHooks([&] { ++attached; }, [&] { ++detached; });
  std::string error;
  ASSERT_TRUE(session.Load("", fake_addin::kPath, &error)) << error;
  EXPECT_EQ(attached, 1);
  EXPECT_FALSE(session.Load("", fake_addin::kPath, &error)) << "one library a session";
  EXPECT_EQ(session.Open(), 1);
  EXPECT_EQ(RenderEvaluation(EvaluateFormula(host, "=FakeDouble(2)")), "4");
  EXPECT_EQ(session.Close(), 1);
  EXPECT_EQ(state().close_calls, 1);
  // Once the add-in is closed, the host drops what it registered; opening registers it again.
  EXPECT_EQ(RenderEvaluation(EvaluateFormula(host, "=FakeDouble(2)")), "#NAME?");
  EXPECT_EQ(session.Open(), 1);
  EXPECT_EQ(RenderEvaluation(EvaluateFormula(host, "=FakeDouble(2)")), "4");

  session.Unload();
  EXPECT_EQ(detached, 1);
  EXPECT_EQ(RenderEvaluation(EvaluateFormula(host, "=FakeDouble(2)")), "#VALUE!");
  EXPECT_EQ(session.Close(), 1) << "nothing loaded, nothing to do";
  EXPECT_EQ(state().close_calls, 1);
  fake_addin::Reset();
}

TEST(AddinSession, ReportsALibraryThatCannotBeLoaded) {
  SimHost host;
  AddinSession session(host);
  std::string error;
  EXPECT_FALSE(session.Load("/nonexistent/addin.so", "", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(session.module(), nullptr);
}

TEST(AddinSession, RefusesToRegisterAProcedureTheLibraryLacks) {
  OpenedFake fake;
  XLOPER result{};
  fake_addin::Arguments args;
  args.Text(fake_addin::kPath).Text("NoSuchProcedure").Text("R").Text("Ghost");
  ASSERT_EQ(args.Call(xlfRegister, &result), xlretSuccess);
  EXPECT_EQ(result.xltype, xltypeErr);
  EXPECT_EQ(fake.host.FindFunction("Ghost"), nullptr);
}
}  // namespace
