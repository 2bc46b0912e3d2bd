#include "in_process_master_win.h"

InProcessMaster::InProcessMaster(int window, int instance)
    : dll_(LoadLibraryA(QELV_BIN_DIR "qelv_d30or.dll")),
      loaded_(dll_ != NULL && !FindExports(dll_, lib_)),
      window_(window),
      instance_(instance) {
  if (loaded_) lib_.init(0, 0);
}

InProcessMaster::~InProcessMaster() {
  if (dll_) FreeLibrary(dll_);
}

int InProcessMaster::FindHub(const std::string& channel) {
  return lib_.find_window(channel.c_str());
}

int InProcessMaster::Marker() { return lib_.marker_send(window_, instance_); }

int InProcessMaster::Detach() { return lib_.deinit(window_, instance_); }

int InProcessMaster::Publish(const std::string& channel, int orders, int round) {
  lib_.image_clear();
  lib_.image_set(channel.c_str(), "4711");
  for (int i = 0; i < orders; i++)
    lib_.image_append(0, 5, 2, 3000 + i, 1252972800 + 60 * i, i % 2, 0.1 * (1 + i % 5), "EURUSD",
                      1.08345 + 0.0001 * i, 1.07, 1.09, 0, 0, i, round, "copied");
  lib_.image_send(window_);
  return lib_.get_crc();
}
