#include "session.h"

#include "line_worker.h"

namespace zt::sim {

Session::Session(ScannerCore& core)
    : core_(core), worker_([this](std::stop_token stop) {
          const std::stop_callback wakeOnStop(stop, [this] { outbox_.wake().signal(); });
          LineWorker(core_, terminal_.master(), outbox_, stop).run();
      }) {}

// The jthread member asks the worker to stop (which signals its wake descriptor) and joins it.
Session::~Session() = default;

}  // namespace zt::sim
