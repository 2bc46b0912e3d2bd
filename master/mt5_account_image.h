// The MT5 master expert's calls, one method each with the exports' arguments and answers (see
// qelv_d30or.mqh): the facts given since the last Begin, and the image orders of the last Build
// to be read one by one. Input texts are read up to their first zero byte within the size
// given; output texts are cut between UTF-8 characters, as the slave library's reads cut them
// (utf8_cut.h). Bad arguments (a missing pointer, a size below 1, a number that is not finite,
// a negative window) answer -1, or 0 from the read, and change nothing. Not safe for concurrent
// use, as the image.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "mt5_facts.h"
#include "mt5_image.h"
#include "utf8_cut.h"

namespace mt5 {

// A text the caller passes in: `size` bytes at most, up to the first zero byte.
struct TextIn {
  const char* bytes;
  int32_t size;
};

// Where an image order's fields are written.
struct ImageOrderOut {
  int32_t* pool;
  int32_t* ticket;
  int32_t* open_time;
  int32_t* type;
  double* lots;
  TextBuffer symbol;
  double* open_price;
  double* sl;
  double* tp;
  int32_t* close_time;
  double* close_price;
  int32_t* magic;
  int32_t* expiration;
  TextBuffer comment;
};

class AccountImage {
 public:
  // Forgets the positions and pending orders given and the orders built from them: given anew
  // for every build.
  int32_t Begin();
  // Forgets the deals and finished orders given: given anew only when the history may have
  // changed, since reading the whole of it costs the most.
  int32_t HistoryBegin();
  // Each adds its fact, the texts read from `symbol` and `comment`.
  int32_t PositionAdd(Position position, TextIn symbol, TextIn comment);
  int32_t PendingOrderAdd(PendingOrder order, TextIn symbol, TextIn comment);
  int32_t DealAdd(Deal deal, TextIn symbol, TextIn comment);
  int32_t FinishedOrderAdd(FinishedOrder order, TextIn symbol, TextIn comment);
  // Builds the image orders (mt5_image.h) and answers their number. The same positions, pending
  // orders and history at the same second build what the last build built.
  int32_t Build(const HistoryWindow& window);
  // Writes order `index` of the last build: 1, or 0 when there is none such.
  int32_t OrderGet(int32_t index, const ImageOrderOut& out) const;

 private:
  // The expert builds every 10 ms, mostly of an account that did not change, and a build walks
  // every deal of the history: what the last one was built from, and what it built.
  struct LastBuild {
    std::vector<Position> positions;
    std::vector<PendingOrder> pending_orders;
    HistoryWindow window;
    std::vector<ImageOrder> orders;
  };

  AccountFacts facts_;
  std::vector<ImageOrder> orders_;
  std::optional<LastBuild> last_;  // forgotten when the history changes
};

}  // namespace mt5
