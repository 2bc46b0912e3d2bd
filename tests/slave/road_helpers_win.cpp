#include "road_helpers_win.h"

#include <cstdio>

namespace {

std::vector<OrderRead> ReadPool(const SlaveExports& lib, TextPassing passing, int pool) {
  std::vector<OrderRead> orders;
  const int total = lib.orders_total(pool);
  for (int i = 0; i < total; i++) {
    OrderRead o{};
    if (!lib.order_select(i, pool) || !ReadOrder(lib, passing, o)) break;
    orders.push_back(o);
  }
  return orders;
}

}  // namespace

InProcessSlave::InProcessSlave(TextPassing passing)
    : dll_(LoadLibraryA(QELV_BIN_DIR "qelv_r30uv.dll")),
      loaded_(dll_ != NULL && !FindExports(dll_, lib_)),
      passing_(passing),
      ui_(PlainChartClass(), WS_OVERLAPPEDWINDOW, 100) {
  if (Ready()) lib_.init(Chart(), 0);
}

InProcessSlave::~InProcessSlave() {
  if (Ready()) lib_.deinit(Chart(), 1);
  if (dll_) FreeLibrary(dll_);
}

int InProcessSlave::FindHub(const std::string& channel) { return ::FindHub(lib_, passing_, channel); }

int InProcessSlave::Marker(int instance) { return lib_.qelv_marker_send(Chart(), instance); }

int InProcessSlave::PublishedChecksum() { return lib_.qelv_get_crc(); }

int InProcessSlave::HeldChecksum() { return lib_.images_calc_crc(); }

int InProcessSlave::Fetch() { return lib_.qelv_images_get(Chart()); }

SetRead InProcessSlave::FetchAndRead() {
  SetRead set;
  Fetch();
  set.split = lib_.images_split();
  lib_.images_get_info(&set.masters, &set.slaves);
  const int images = lib_.images_total();
  for (int i = 0; i < images; i++) {
    ImageRead image;
    if (!lib_.image_select(i) || !ReadImageInfo(lib_, passing_, image.channel_id, image.login))
      break;
    image.market = ReadPool(lib_, passing_, 0);
    image.history = ReadPool(lib_, passing_, 1);
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
