// Another workstation, for the lock tests: holds the edit lock of one row
// until told to let go.
//   maint_lock_holder <directory> <table> <key>
// Prints "locked" once the row is held, then waits for a line on its input
// (or for its input to close) and cancels the edit.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: maint_lock_holder <directory> <table> <key>\n";
        return 2;
    }
    try {
        vm::Session session;
        vm::Cursor c(session.database(argv[1]), argv[2]);
        if (!c.findKey({vm::Value(std::string(argv[3]))})) {
            std::cerr << "no such row\n";
            return 1;
        }
        c.edit();
        std::cout << "locked" << std::endl;
        std::string line;
        std::getline(std::cin, line);
        c.cancel();
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
