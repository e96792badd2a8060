#pragma once
// The TCP port of the network link: 1, as peers expect, unless the environment variable
// VESTREL_NET_PORT names another (for tests, and for users without the privilege to bind port 1).

namespace vestrel {

constexpr int kDefaultNetPort = 1;

// VESTREL_NET_PORT when it holds a whole number 1..65535, else 1.
int netPort();

}  // namespace vestrel
