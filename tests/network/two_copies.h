#pragma once
// Two copies of the program on 127.0.0.1: a second copy of the test program as the server, playing a
// peer role and answering lines on its standard input, and this program's own window as its client.
// Both step their main cycles in lockstep, so that every wait is for a state.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "network/net_test_support.h"
#include "operation/session_trains.h"
#include "platform/clock.h"
#include "shell/shell_test_support.h"

// ------------------------------------------------------------------ the server copy's side

// Starts the program with blocks 1 and 2 joined by a track (1 leads to 2 heading 'H') and block 3 on
// its own, the given trains in its locomotive file, and its session without track control (F11);
// false when the session did not start with every train on the track.
bool startServerSession(RunningProgram& program, const std::vector<FileTrain>& trains);
// Answers the test's lines until "quit" or the end of the input: "tick" runs one main-cycle tick on
// the clock, waits until the clients' sockets have written everything, and answers "tick <bytes
// written to clients so far>" followed by tickExtra(); every other line goes to handle, which answers it.
int serveTestLines(vestrel::ManualClock& clock, const std::function<std::string()>& tickExtra,
                   const std::function<void(const std::string& line)>& handle);

// ------------------------------------------------------------------ the client, in the test

class TwoCopies {
public:
    // Starts the server copy in the named peer role, waits for its "ready", then connects this
    // program's client to it and ticks both until the client holds the full copy. Check with
    // HasFatalFailure.
    void start(const char* role);
    // Ends the server copy; expects it to end well.
    void stop();
    // The server copy's next own line, "no answer" when none comes.
    std::string answer();
    std::string ask(const std::string& line);
    // One tick of the server, then, with all it sent in, one tick of the client. Gives the rest of the
    // server's "tick" answer.
    std::string tick();

    std::optional<PeerCopy> server;
    RunningProgram program;
    vestrel::ManualClock clock{100000};
    qint64 received = 0;
};
