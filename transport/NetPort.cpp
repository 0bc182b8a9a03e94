#include "transport/NetPort.h"

#include <cerrno>
#include <cstdlib>

namespace kx {

int ServicePort() {
    const char* text = std::getenv("VARNIA_PORT");
    if (text == nullptr || *text == '\0') return kDefaultServicePort;
    char* end = nullptr;
    errno = 0;
    long port = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || port < 1 || port > 65535) return kDefaultServicePort;
    return static_cast<int>(port);
}

} // namespace kx
