#pragma once
// Alphabetical order of a list of names (route and step-program names before they are saved).

constexpr int kSortNamesMax = 200;
constexpr int kSortNamesCompared = 30;

// Orders names[0..n) (n above 200 counts as 200) by comparing the names byte by byte as signed
// characters: up to the first difference, the terminator character or the end of a name, at most
// 30 characters. Names that compare equal keep their order.
void sortNames(const char** names, int n, char terminator);
