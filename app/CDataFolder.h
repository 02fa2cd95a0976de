#ifndef PONDQUEST_CDATAFOLDER_H
#define PONDQUEST_CDATAFOLDER_H

#include <string>
#include <vector>

// Where the game's pictures and sounds are. The game reads them by bare file name, so the
// folder found becomes the working directory before anything is loaded. In order:
//   --data-dir DIR, else $PONDQUEST_DATA (when either is given, only that folder is tried);
//   else the program's own folder (a build tree: the files are generated beside it);
//   else the installed share/pondquest, found from the program's folder.
class CDataFolder {
public:
    struct SPlace {
        std::string folder;
        std::string source;  // how it was chosen, for messages: "--data-dir", "installed", ...
    };

    // Every file the game loads at some point; a folder is taken only when it holds them all.
    static const std::vector<std::string>& Files();

    // The places to try, in order. option and environment may be empty.
    static std::vector<SPlace> Places(const std::string& option, const std::string& environment,
                                      const std::string& programFolder);
    // The first place holding every file, in *folder. False when none does, with *report saying
    // for each place which file is missing or why it cannot be used, and in *folder the first
    // place that is a folder at all (empty when none is).
    static bool Find(const std::vector<SPlace>& places, std::string* folder, std::string* report);

    // The running program's folder, as SDL finds it; empty when it cannot be found.
    static std::string ProgramFolder();
    // Finds the folder and enters it. When none holds every file, says so on stderr and enters
    // the first place that is a folder (else stays where it is): the game then goes on as with
    // any file missing, a picture drawn blank, a sound ending the game with its own box.
    static bool Enter(const std::string& option);
};

#endif
