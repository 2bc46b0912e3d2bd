// An MQL4 expert of the constructs the translator takes (sample/e-sample.mq4), translated at
// build time, run as the terminal runs it: inputs set, handlers called, its library's functions
// given by the test.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fake_terminal.h"

std::unique_ptr<mql::Program4> NewSampleExpert();

namespace {

using namespace mql::builtin;

std::string g_echoed;

int MQL_STDCALL Echo(mql::uchar* text, int size) {
  g_echoed.assign(reinterpret_cast<const char*>(text), static_cast<size_t>(size));
  return size;
}
void MQL_STDCALL Add(int a, int b, int* sum) { *sum = a + b; }
double MQL_STDCALL Scale(double value, double* factors) { return value * factors[0] * factors[1]; }

struct SampleExpert : testing::Test {
  FakeTerminal terminal;
  std::unique_ptr<mql::Program4> expert = NewSampleExpert();

  SampleExpert() {
    terminal.functions["sample.dll::_echo"] = reinterpret_cast<void*>(&Echo);
    terminal.functions["sample.dll::_add"] = reinterpret_cast<void*>(&Add);
    terminal.functions["sample.dll::_scale"] = reinterpret_cast<void*>(&Scale);
    expert->Attach(terminal, mql::ChartInfo{});
  }
};

TEST_F(SampleExpert, ListsItsInputsWithTheirDefaultsAndDescriptions) {
  const auto inputs = expert->Inputs();
  ASSERT_EQ(inputs.size(), 3u);
  EXPECT_EQ(inputs[0].name, "Count");
  EXPECT_EQ(inputs[0].type, "int");
  EXPECT_EQ(inputs[0].default_value, "3");
  EXPECT_EQ(inputs[0].description, "How many rows");
  EXPECT_EQ(inputs[1].default_value, "\"pass\"");
  EXPECT_EQ(inputs[2].name, "Scale");
  EXPECT_EQ(expert->Handlers(), mql::Program::kOnInit | mql::Program::kOnDeinit | mql::Program::kOnTimer |
                                    mql::Program::kOnTick);
}

TEST_F(SampleExpert, TakesInputsOfItsTypesOnly) {
  EXPECT_TRUE(expert->SetInput("Count", "4"));
  EXPECT_TRUE(expert->SetInput("Label", "tick"));
  EXPECT_TRUE(expert->SetInput("Scale", "2.5"));
  EXPECT_FALSE(expert->SetInput("Count", "4.5"));
  EXPECT_FALSE(expert->SetInput("Count", ""));
  EXPECT_FALSE(expert->SetInput("Scale", "nan"));
  EXPECT_FALSE(expert->SetInput("Missing", "1"));
}

TEST_F(SampleExpert, RefusesToStartWithInputsItFindsWrong) {
  ASSERT_TRUE(expert->SetInput("Count", "-1"));
  EXPECT_EQ(expert->OnInit(), INIT_PARAMETERS_INCORRECT);
  EXPECT_EQ(expert->TimerMs(), 0);
}

TEST_F(SampleExpert, EachTimerEventCallsTheLibraryWithTheExpertsValues) {
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  EXPECT_EQ(expert->TimerMs(), 5);
  expert->OnTimer();
  EXPECT_EQ(g_echoed, std::string("pass 1\0", 7));
  terminal.now += 30;
  expert->OnTimer();
  EXPECT_EQ(g_echoed, std::string("pass 2\0", 7));
  // The extern was doubled in OnInit: 0.5 * 3 * 10; a static local counts the passes.
  EXPECT_EQ(terminal.journal, (std::vector<std::string>{"pass 1: sum 8, scaled 15, false, since 0",
                                                        "pass 2: sum 9, scaled 15, true, since 30"}));
  EXPECT_EQ(terminal.calls, (std::vector<std::string>{"_echo", "_echo -> 7", "_add", "_add -> 0", "_scale",
                                                      "_scale -> 15", "_echo", "_echo -> 7", "_add", "_add -> 0",
                                                      "_scale", "_scale -> 15"}));
}

TEST_F(SampleExpert, TwoExpertsOfOneSourceKeepTheirOwnGlobalsAndStaticLocals) {
  auto second = NewSampleExpert();
  second->Attach(terminal, mql::ChartInfo{});
  ASSERT_TRUE(second->SetInput("Label", "other"));
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  ASSERT_EQ(second->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  expert->OnTimer();
  second->OnTimer();
  EXPECT_EQ(terminal.journal.back(), "other 1: sum 9, scaled 15, false, since 0");
}

TEST_F(SampleExpert, SortsTwoDimensionalRowsByTheirFirstCell) {
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTick();
  EXPECT_EQ(terminal.journal, std::vector<std::string>{"rows row2,row1,row0"});
}

TEST_F(SampleExpert, AnIndexOutsideAStaticArrayStopsTheHandlerWithACriticalError) {
  ASSERT_TRUE(expert->SetInput("Count", "4"));
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  EXPECT_THROW(expert->OnTick(), mql::CriticalError);
  EXPECT_EQ(terminal.journal, std::vector<std::string>{"rows row1,row2,row3,row0"});
}

TEST_F(SampleExpert, SaysWhyItIsRemoved) {
  expert->OnDeinit(REASON_REMOVE);
  EXPECT_EQ(terminal.journal, std::vector<std::string>{"removed, reason 1"});
}

}  // namespace
