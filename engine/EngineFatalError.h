#pragma once
// Thrown after an internal "KQ Error: ..." message that ends the program at once. The
// message has already been shown through the reporter; the command layer that catches this
// ends the program without the save prompt. Validated designs never reach it.

#include <stdexcept>
#include <string>

class EngineFatalError : public std::runtime_error {
public:
    explicit EngineFatalError(const std::string& text) : std::runtime_error(text) {}
};
