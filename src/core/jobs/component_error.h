// The one error type that component calls throw; pages and jobs catch it.
#pragma once

#include <stdexcept>
#include <string>

namespace quelt {

class ComponentError : public std::runtime_error {
public:
    explicit ComponentError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quelt
