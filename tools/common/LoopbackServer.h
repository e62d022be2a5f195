#pragma once

#include <httplib.h>

#include <functional>
#include <string_view>

namespace ToolCommon {

// Ignores SIGPIPE (a client that goes away must fail a send, not end the tool) and blocks SIGTERM and
// SIGINT. Call it before any thread starts, so that only the waiter of ServeUntilStopped receives them.
void BlockStopSignals();

// Binds `server` to 127.0.0.1:`port` (0: any free port), prints "PORT <n>" and serves until SIGTERM or
// SIGINT. `onStop` runs on the signal before the server stops, so that answers that wait on purpose end,
// and once more when serving has ended. Returns the tool's exit code: 0 after a stop signal, 1 when it
// cannot listen or the server stopped by itself (both said on standard error under `tool`'s name).
int ServeUntilStopped(httplib::Server& server, std::string_view tool, int port,
                      const std::function<void()>& onStop);

} // namespace ToolCommon
