#pragma once
// What a socket error means to the client's error handler: a general error, or an error of one of
// the socket's operations (send, receive, connect, disconnect, accept, name lookup).

enum class NetSocketEvent { General, Send, Receive, Connect, Disconnect, Accept, Lookup };

// The event of a QAbstractSocket::SocketError value.
NetSocketEvent netSocketErrorEvent(int socketError);
