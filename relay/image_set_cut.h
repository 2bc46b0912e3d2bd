// Cuts the hub's image set into its masters' image texts, byte for byte as each master sent it,
// so that a relay can carry each one on unchanged.
#pragma once
#include <map>
#include <string>
#include <string_view>

// The login of one image text: the value of its first login element, empty when it has none.
std::string_view ImageLogin(std::string_view image);

// Login -> whole image text ("<image>\n" ... "</image>\n"), read as the slave library splits a set:
// the list ends at the first missing image or one with an empty body, and the first image of a
// login wins over a later one.
std::map<std::string, std::string> ImagesByLogin(std::string_view image_set);
