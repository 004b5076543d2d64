#pragma once

class QWidget;

namespace chomaru {

// SIGTERM, SIGINT and SIGHUP close `window` the normal way, so the data is
// saved; the signal handler itself only writes one byte to a pipe that the
// event loop watches.
void close_on_termination_signals(QWidget& window);

}  // namespace chomaru
