// varnia-settings: writes one value into a program's settings (the registry store), for the
// run scripts that prepare a workstation:
//
//   varnia-settings <program> <key> address <name> <a.b.c.d>   an IPv4 address as the login
//                                                             dialogs keep it (a DWORD, the
//                                                             first number in the high byte)
//   varnia-settings <program> <key> text <name> <text>
//
// <program> names the file ($XDG_CONFIG_HOME/varnia/<program>.ini). Exit status 0 when written.
#include "base/KxRegistry.h"

#include <arpa/inet.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: varnia-settings <program> <key> address|text <name> <value>\n");
        return 2;
    }
    const std::string program = argv[1], key = argv[2], kind = argv[3], name = argv[4], value = argv[5];
    const std::string defaultPath = kx::RegistryStore::DefaultPath();
    const std::string folder = defaultPath.substr(0, defaultPath.find_last_of('/'));
    kx::RegistryStore store(folder + "/" + program + ".ini");
    bool written = false;
    if (kind == "address") {
        in_addr addr{};
        if (inet_pton(AF_INET, value.c_str(), &addr) != 1) {
            std::fprintf(stderr, "varnia-settings: %s is not an IPv4 address\n", value.c_str());
            return 2;
        }
        written = store.WriteDword(key, name, ntohl(addr.s_addr));
    } else if (kind == "text") {
        written = store.WriteString(key, name, value);
    } else {
        std::fprintf(stderr, "varnia-settings: unknown kind %s\n", kind.c_str());
        return 2;
    }
    if (!written) {
        std::fprintf(stderr, "varnia-settings: cannot write %s\n", store.Path().c_str());
        return 1;
    }
    return 0;
}
