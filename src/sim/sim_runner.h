// Plays a script into the running application on the headless backend.
//
// How the script meets the program's own loop: each command is a marker message queued
// at its virtual time. The headless message filter swallows the marker when it falls
// due, which happens inside the application's own message wait, between two frames;
// the command then runs there and then (a shot sees exactly the frames presented so
// far) and queues its input messages and the next command's marker. Because only one
// marker is queued at a time, everything a command queues comes before anything a later
// command queues, whatever the times.
#pragma once

#include <string>
#include <vector>

#include "sim/sim_script.h"

class SimRunner {
  public:
    SimRunner(std::vector<SimCommand> commands, std::string outDir);

    // Installs the filter and queues the first command at the current virtual time.
    void start();
    // False when a shot or dump could not be written.
    bool allWritten() const { return allWritten_; }

  private:
    void queueCommand(size_t index, uint32_t at);
    void execute(size_t index);
    void tapAt(int x, int y, size_t next);

    std::vector<SimCommand> commands_;
    std::string outDir_;
    bool allWritten_ = true;
};
