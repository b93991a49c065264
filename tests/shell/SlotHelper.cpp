// Holds a session slot of a data root for the slot tests, as a second
// desktop would: vm-shell-slot-helper <data dir>. Prints the slot number (or
// -1) and keeps it until its input is closed or it is killed.
#include "engine/Session.h"
#include "shell/core/SessionSlot.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    vm::shell::SessionSlot slot;
    const bool held = slot.claim(vm::Session::instance().database(argv[1]));
    std::cout << (held ? slot.sessionId() : -1) << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}
