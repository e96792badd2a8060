#pragma once
// Reading and writing the route file (<layout>.trj); loadRouteFile is declared with the route tables.
#include <string>

#include "operation/model/route_file.h"

// The route file's name: the layout's file name with "trj" for its extension.
std::string routeFileName();
// Sorts the routes by name and writes the file (a temporary file renamed over the old one); 1 written.
int saveRouteFile();
