#include "in_process_master.h"

#include "master_exports.h"

InProcessMaster::InProcessMaster(int window, int instance)
    : dll_(LoadLibraryA(QELV_BIN_DIR "qelv_d30or.dll")), window_(window), instance_(instance) {
  if (dll_) Export<PairFn>("_init")(0, 0);
}

InProcessMaster::~InProcessMaster() {
  if (dll_) FreeLibrary(dll_);
}

int InProcessMaster::FindHub(const std::string& channel) {
  return Export<FindFn>("_find_window")(channel.c_str());
}

int InProcessMaster::Marker() { return Export<PairFn>("_marker_send")(window_, instance_); }

int InProcessMaster::Detach() { return Export<PairFn>("_deinit")(window_, instance_); }

int InProcessMaster::Publish(const std::string& channel, int orders, int round) {
  Export<VoidFn>("_image_clear")();
  Export<SetFn>("_image_set")(channel.c_str(), "4711");
  for (int i = 0; i < orders; i++)
    Export<AppendFn>("_image_append")(0, 5, 2, 3000 + i, 1252972800 + 60 * i, i % 2,
                                      0.1 * (1 + i % 5), "EURUSD", 1.08345 + 0.0001 * i, 1.07,
                                      1.09, 0, 0, i, round, "copied");
  Export<SendFn>("_image_send")(window_);
  return Export<NoArgFn>("_get_crc")();
}
