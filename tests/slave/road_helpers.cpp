#include "road_helpers.h"

#include <cstdio>

#include "library_export.h"
#include "slave_exports.h"

namespace {

// A string element as the expert declares it: filled to `capacity` bytes with its terminator.
struct Element {
  explicit Element(int capacity) : text(capacity - 1, ' ') { slot = {capacity - 1, &text[0]}; }
  std::string Value() const { return text.c_str(); }
  std::string text;
  TextSlot slot;
};

std::vector<OrderRead> ReadPool(HMODULE dll, int pool) {
  std::vector<OrderRead> orders;
  const int total = LibraryExport<IntFn>(dll, "_orders_total")(pool);
  for (int i = 0; i < total; i++) {
    OrderRead o{};
    Element symbol(kSymbolCapacity), comment(kCommentCapacity);
    if (!LibraryExport<PairFn>(dll, "_order_select")(i, pool) ||
        !LibraryExport<OrderGetFn>(dll, "_order_get")(&o.num1, &o.num2, &o.type, &o.lots, &symbol.slot,
                                               &o.price6, &o.price7, &o.price8, &o.close_time,
                                               &o.close_price, &o.num11, &o.num12, &comment.slot))
      break;
    o.symbol = symbol.Value();
    o.comment = comment.Value();
    orders.push_back(o);
  }
  return orders;
}

// The chart's class: a plain window the library subclasses.
const char* RoadChartClass() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.lpszClassName = "QelvRoadChart";
  RegisterClassA(&wc);  // fails harmlessly the second time
  return wc.lpszClassName;
}

}  // namespace

InProcessSlave::InProcessSlave()
    : dll_(LoadLibraryA(QELV_BIN_DIR "qelv_r30uv.dll")),
      loaded_(dll_ != NULL),
      ui_(RoadChartClass(), WS_OVERLAPPEDWINDOW, 100) {
  if (Ready()) LibraryExport<PairFn>(dll_, "_init")(Chart(), 0);
}

InProcessSlave::~InProcessSlave() {
  if (Ready()) LibraryExport<PairFn>(dll_, "_deinit")(Chart(), 1);
  if (dll_) FreeLibrary(dll_);
}

int InProcessSlave::FindHub(const std::string& channel) {
  return LibraryExport<FindFn>(dll_, "_find_window")(channel.c_str());
}

int InProcessSlave::Marker(int instance) {
  return LibraryExport<PairFn>(dll_, "_qelv_marker_send")(Chart(), instance);
}

int InProcessSlave::PublishedChecksum() { return LibraryExport<NoArgFn>(dll_, "_qelv_get_crc")(); }

int InProcessSlave::HeldChecksum() { return LibraryExport<NoArgFn>(dll_, "_images_calc_crc")(); }

int InProcessSlave::Fetch() { return LibraryExport<IntFn>(dll_, "_qelv_images_get")(Chart()); }

SetRead InProcessSlave::FetchAndRead() {
  SetRead set;
  Fetch();
  set.split = LibraryExport<NoArgFn>(dll_, "_images_split")();
  LibraryExport<CountsFn>(dll_, "_images_get_info")(&set.masters, &set.slaves);
  const int images = LibraryExport<NoArgFn>(dll_, "_images_total")();
  for (int i = 0; i < images; i++) {
    Element channel_id(kChannelIdCapacity), login(kLoginCapacity);
    if (!LibraryExport<IntFn>(dll_, "_image_select")(i) ||
        !LibraryExport<InfoFn>(dll_, "_image_get_info")(&channel_id.slot, &login.slot))
      break;
    ImageRead image{channel_id.Value(), login.Value(), ReadPool(dll_, 0), ReadPool(dll_, 1)};
    set.images.push_back(image);
  }
  return set;
}

OrderRead ExpectedRead(const SimOrder& o, bool market) {
  return {o.ticket, o.open_time, o.type, market ? 0 : o.close_time, 0, 0,
          o.lots, o.open_price, o.stop_loss, o.take_profit, market ? 0.0 : o.close_price,
          o.symbol, o.comment};
}

std::string Differences(const OrderRead& e, const OrderRead& a) {
  std::string diff;
  auto field = [&](const char* name, auto expected, auto actual) {
    if (!(expected == actual)) diff += std::string(" ") + name;
  };
  field("num1", e.num1, a.num1);
  field("num2", e.num2, a.num2);
  field("type", e.type, a.type);
  field("lots", e.lots, a.lots);
  field("symbol", e.symbol, a.symbol);
  field("price6", e.price6, a.price6);
  field("price7", e.price7, a.price7);
  field("price8", e.price8, a.price8);
  field("close_time", e.close_time, a.close_time);
  field("close_price", e.close_price, a.close_price);
  field("num11", e.num11, a.num11);
  field("num12", e.num12, a.num12);
  field("comment", e.comment, a.comment);
  return diff;
}

std::string DumpLine(const char* pool, int index, const OrderRead& o) {
  char line[1024];
  std::snprintf(line, sizeof line,
                "  %s %d: num1 %d num2 %d type %d lots %.10g symbol \"%s\" price6 %.10g price7 %.10g "
                "price8 %.10g close_time %d close_price %.10g num11 %d num12 %d comment \"%s\"\n",
                pool, index, o.num1, o.num2, o.type, o.lots, o.symbol.c_str(), o.price6, o.price7,
                o.price8, o.close_time, o.close_price, o.num11, o.num12, o.comment.c_str());
  return line;
}

SimAccount PlayScenario(const std::string& text) {
  std::vector<ScenarioStep> steps;
  std::string error;
  SimAccount account;
  if (ParseScenario(text, steps, error))
    for (const ScenarioStep& step : steps)
      if (step.kind != ScenarioStep::kWait) account.Apply(step);
  return account;
}
