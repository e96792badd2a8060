#include "operation/control/client_control_post.h"

// The client's control post is not built yet: its commands do nothing.
void controlPostCommandClient(int, int) {}
