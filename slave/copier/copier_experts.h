// The copying experts of one terminal, each by the id of its choosing, and the login claims
// they share: the copier's exports, one method each, with the exports' arguments and answers.
// Input texts are read up to their first zero byte within the size given; output texts are
// written as the cursor's byte reads write them (image_cursor.h). Bad arguments (a missing
// pointer, a size below 1, an expert without a session, an index out of range, a number that
// is not finite) answer -1, or 0 where the answer is a count or 1 for success, and change
// nothing. Not safe for concurrent use: the library calls it under its lock.
#pragma once
#include <cstdint>
#include <map>
#include <span>

#include "copier_session.h"
#include "image_cursor.h"
#include "image_set_model.h"
#include "login_claims.h"

// A text the caller passes in: `size` bytes at most, up to the first zero byte.
struct TextIn {
  const char* bytes;
  int32_t size;
};

// Where an action's fields are written.
struct ActionOut {
  int32_t* kind;
  int32_t* ticket;
  TextBuffer symbol;
  int32_t* type;
  double* lots;
  double* price;
  double* sl;
  double* tp;
  int32_t* expiration;
  int32_t* magic;
  TextBuffer comment;
};

class CopierExperts {
 public:
  // Starts the expert's session when it has none. The number of problems, -1 on bad arguments.
  int32_t Settings(int32_t expert, TextIn text);
  // Starts the expert's session when it has none. 0, -1 on bad arguments.
  int32_t Begin(int32_t expert, int32_t now, int32_t following_since);
  // 0, -1 on bad arguments (pool other than 0 and 1 among them).
  int32_t OrderAdd(int32_t expert, int32_t pool, const SlaveOrder& order_without_symbol, TextIn symbol);
  // The count of symbols wanted.
  int32_t SymbolsWanted(int32_t expert, std::span<const TImage> masters);
  // 1 / 0.
  int32_t SymbolName(int32_t expert, int32_t index, const TextBuffer& name);
  // 0, -1 on bad arguments.
  int32_t SymbolAdd(int32_t expert, const SymbolFacts& facts_without_name, TextIn name);
  // The number of actions; -1 without settings or on bad arguments.
  int32_t Plan(int32_t expert, std::span<const TImage> masters);
  // 1 / 0.
  int32_t ActionGet(int32_t expert, int32_t index, const ActionOut& out) const;
  // 1 / 0; a result is recorded once.
  int32_t ActionDone(int32_t expert, int32_t index, int32_t error);
  int32_t LogCount(int32_t expert) const;
  // 1 / 0.
  int32_t LogGet(int32_t expert, int32_t index, const TextBuffer& line) const;
  // Releases the expert's claims and forgets its session: 0, or -1 when it had none.
  int32_t End(int32_t expert);

 private:
  CopierSession* Find(int32_t expert);
  const CopierSession* Find(int32_t expert) const;
  CopierSession& FindOrStart(int32_t expert);

  std::map<int32_t, CopierSession> sessions_;
  LoginClaims claims_;
};
