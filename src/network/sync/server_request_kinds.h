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

int stepProgramRequest(const NetRequest& q);  // kind 14
int stepRequest(const NetRequest& q);         // kind 15
int formulaRequest(const NetRequest& q);      // kind 16
int functionDecoderRequest(const NetRequest& q);  // kind 35
