// Whether a text brought from another hub is one master's image that the local hub may hold
// among its own: slaves read the set up to its first NUL and stop at an image with an empty
// body, so one bad image would hide every master registered after it.
#pragma once
#include <string_view>

// True for exactly one image, from its opening to its closing tag, whose order lines all split.
bool IsOneImage(std::string_view text);
