#include "operation/model/route_editor_state.h"

RouteRec* gCurRoute = nullptr;
