// The journal file of a simulated account: every change appended as one line (journal_line.h)
// and flushed, so that a server started again on the file comes back to the same orders.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "journal_line.h"

class AccountJournal {
 public:
  AccountJournal() = default;
  AccountJournal(const AccountJournal&) = delete;
  AccountJournal& operator=(const AccountJournal&) = delete;
  ~AccountJournal();

  // Opens the journal at `path`, creating it when missing, and reads its events. A last line
  // without its line end (the process was killed while writing it) is cut off the file, so
  // that the next line starts clean; any other line that does not read fails the open, with
  // `error` naming it.
  bool Open(const std::string& path, std::vector<JournalEvent>& events, std::string& error);

  // Writes `event` as one line and flushes it. False when the journal is not open or the
  // line could not be written whole; the journal is closed then.
  bool Append(const JournalEvent& event);

 private:
  std::FILE* file_ = nullptr;
};

// Reads the events of the complete lines of a journal, leaving the file as it is.
bool ReadJournal(const std::string& path, std::vector<JournalEvent>& events, std::string& error);

// The orders that trade calls opened, in the order they were opened (not the remainders of
// partial closes: those were never sent).
std::vector<SimOrder> JournaledOpens(const std::vector<JournalEvent>& events);
