#pragma once
// Two real sockets on 127.0.0.1: the program's window on one end, a QTcpSocket or QTcpServer of the
// test on the other. Every wait is bounded.
#include <QByteArray>
#include <QProcess>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A port free on 127.0.0.1, put into VESTREL_NET_PORT for the program.
int useFreeNetPort();
// A peer connected to 127.0.0.1 at the port (fails the test when it does not connect).
std::unique_ptr<QTcpSocket> connectPeer(int port);
// Waits until at least n bytes have arrived and returns everything that has.
QByteArray readAtLeast(QTcpSocket& socket, int n);
// One send pass of the server (the pass runs on every third tick).
void runSendPass();
QByteArray bytesOf(const std::vector<uint8_t>& v);

// A second copy of this test program in the peer role `role` (registered with registerPeerRole), which
// answers lines on its standard input with lines of its own marked '@'.
class PeerCopy {
public:
    explicit PeerCopy(const char* role);
    // Asks it to quit and waits for its end.
    ~PeerCopy();
    // Its next own line without the mark; "no answer" when it ended first.
    std::string answer();
    // Writes the line, gives its answer.
    std::string ask(const std::string& line);
    // Ends it (as the destructor does) and gives its exit code.
    int quit();

private:
    QProcess process_;
};
// The peer's side: says "ready", then answers each line of standard input with answer(line) (an empty
// answer says nothing: the handler said its own), until the line "quit" or the end of the input (exit
// code 0). Events run between the lines.
int answerPeerLines(const std::function<std::string(const std::string&)>& answer);
// One line of the peer to the test, marked as its own.
void sayToTest(const std::string& line);
