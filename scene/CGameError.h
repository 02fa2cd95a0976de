#ifndef PONDQUEST_CGAMEERROR_H
#define PONDQUEST_CGAMEERROR_H

#include <stdexcept>
#include <string>

// The one way a failure leaves the game: thrown where it is found, caught in main, which
// releases everything, shows the message unless the user has already seen it, and ends the
// program with exitStatus. Nothing below main ends the program itself.
class CGameError : public std::runtime_error {
public:
    int exitStatus;
    bool shown;  // the user has already been told, in a box of its own

    CGameError(const std::string& message, int exitStatus, bool shown);
};

#endif
