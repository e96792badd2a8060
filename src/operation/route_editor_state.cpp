#include "operation/route_editor_state.h"

RouteRec* gCurRoute = nullptr;
