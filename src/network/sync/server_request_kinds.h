#pragma once
// Inside the server's request handling: one request as received, and the handlers of the kinds that
// live in their own files. Each answers 1 when the request was understood and its object found, 0 when
// it was ignored; a request is checked whole before anything changes.
#include <cstdint>
#include <string>

// The record lies at the start of gNetInBuffer, `length` bytes long (its length from the table).
struct NetRequest {
    int kind, code, a, b, c;
    int length;
    // Byte k of the record (0 beyond it).
    int byte(int k) const;
    // The text in bytes from..from+size-1, ended at its first zero or after size - 1 characters.
    std::string text(int from, int size) const;
    // Echoes the record unchanged to every synchronised client (the sender included).
    void echo() const;
};

struct LocoRec;
struct TurntableRec;
struct WagonRec;

// The data takeovers; the object is already found and checked.
int locoDataRequest(const NetRequest& q, LocoRec* loco);        // 2/37
int wagonDataRequest(const NetRequest& q, WagonRec* wagon);     // 3/37
int blockDataRequest(const NetRequest& q);                      // kind 5
int turntableDataRequest(const NetRequest& q, TurntableRec* t);  // 10/37

int stepProgramRequest(const NetRequest& q);  // kind 14
int stepRequest(const NetRequest& q);         // kind 15
int formulaRequest(const NetRequest& q);      // kind 16
int functionDecoderRequest(const NetRequest& q);  // kind 35
