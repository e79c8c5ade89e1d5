// The simulator's dump: the observable state of the running program as JSON.
#pragma once

#include <string>

std::string stateDumpJson();

// "…" with the characters JSON needs escaped.
std::string jsonString(const std::string& utf8);
// A zero-terminated UTF-16 name of at most `capacity` units, as UTF-8.
std::string utf8FromName(const char16_t* name, int capacity);
