// One QApplication for a whole Qt test program: made before the first test
// and deleted after the last. Include it in exactly one file of the program.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

namespace {

class QtApplicationEnvironment : public testing::Environment {
 public:
  void SetUp() override { app_ = new QApplication(argc_, argv_); }
  void TearDown() override { delete app_; }

 private:
  int argc_ = 1;
  char name_[16] = "korvin_qt_tests";
  char* argv_[2] = {name_, nullptr};
  QApplication* app_ = nullptr;
};

testing::Environment* const qtEnvironment =
    testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
