#pragma once
// The outgoing network buffer.

// Queues an 8-byte update record when role (30 server broadcast, 40 client request) matches the link
// state; 1 when it was kept.
int netQueueRecord(int role, int kind, int code, int a, int b, int c);
