#pragma once
// The route the route editor (frmTraject) shows.
struct RouteRec;

extern RouteRec* gCurRoute;  // null: none
