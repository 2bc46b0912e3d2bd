// A prompter for the tests: records every message and answers the overwrite question as told.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "prompter.h"

struct Message {
  std::string text;
  std::string caption;
  unsigned style;
};

class RecordingPrompter : public Prompter {
 public:
  explicit RecordingPrompter(int answer = IDNO) : answer(answer) {}
  int Ask(const std::string& text, const char* caption, unsigned style) override {
    messages.push_back({text, caption, style});
    return (style & MB_TYPEMASK) == MB_YESNO ? answer : IDOK;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Message& message : messages) texts.push_back(message.text);
    return texts;
  }

  int answer;
  std::vector<Message> messages;
};
