// Makes an account in a folder for the desktop scenarios, with options no keyboard path sets
// quickly: the idle minutes of the lock.
//
//   desktop_make_account FOLDER USER PASSWORD [IDLE-MINUTES]
#include <cstdlib>
#include <iostream>
#include <string>

#include "core/entries/Clock.h"
#include "core/session/Session.h"
#include "core/storage/RandomSource.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: desktop_make_account FOLDER USER PASSWORD [IDLE-MINUTES]\n";
        return 2;
    }
    try {
        vorkel::SystemRandom random;
        vorkel::SystemClock clock;
        vorkel::Session session(std::string(argv[1]) + "/vorkel", random, clock);
        session.SetLogon(argv[2], argv[3]);
        session.InitAccount();
        if (argc == 5) {
            session.options().MinProg = 1;
            session.options().MinProgMins = std::atoi(argv[4]);
            session.SaveAll();
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 3;
    }
    return 0;
}
